// Argument variants for tests; the caller clears what it builds.
#pragma once

#include "platform/com/ole2.h"

VARIANT IntVariant(LONG value);
VARIANT TextVariant(const char16_t* text);
