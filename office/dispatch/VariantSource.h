// mingw-w64 declares the source of VariantCopy, VariantCopyInd and
// VariantChangeType without const; they only read it.
#pragma once

#include <ole2.h>

inline VARIANT* VariantSource(const VARIANT& value) { return const_cast<VARIANT*>(&value); }
