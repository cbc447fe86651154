// Argument variants for tests; the caller clears what it builds.
#pragma once

#include <ole2.h>

VARIANT IntVariant(LONG value);
VARIANT TextVariant(const char16_t* text);

// VariantCopy and VariantCopyInd from a const source: mingw-w64 declares the
// source without const, our layer and the Windows SDK with it.
HRESULT CopyVariant(VARIANT* target, const VARIANT& source);
HRESULT CopyVariantInd(VARIANT* target, const VARIANT& source);
