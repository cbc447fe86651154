// Strict OOXML names its namespaces and relationship types under
// http://purl.oclc.org/ooxml/; each maps one to one onto a transitional one.
// A strict package is read as its transitional form, and so written back.
#pragma once

#include <string>
#include <string_view>

#include "office/package/Package.h"

namespace office {

// True when the package's main relationship has the strict type.
bool IsStrict(const Package& package);

// The text with every strict namespace and relationship type replaced by its
// transitional twin and the strict conformance mark removed.
std::string StrictToTransitional(std::string_view xml);

// Rewrites every XML part of a strict package in the transitional form; a
// transitional package is left as it is.
void MakeTransitional(Package& package);

}  // namespace office
