// A guard for the tests: with TOLVANE_CHECK_PARTS=1 in the environment, every
// package is checked as it is written, so that a part no other reader would
// accept cannot pass unnoticed.
#pragma once

#include "office/package/Package.h"

namespace office {

// Whether TOLVANE_CHECK_PARTS asks for the check.
bool WrittenPartsChecked();

// Throws PackageError naming the package and the part when a part has no
// content type, or an XML part is not namespace-well-formed.
void CheckWrittenParts(const Package& package);

}  // namespace office
