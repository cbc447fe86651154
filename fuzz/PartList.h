// Fuzz inputs for the servers are part lists, not zips: mutations then reach
// the XML of the parts instead of breaking the zip's checksums. A part list
// is a series of parts, each a line "== <name>" and the part's bytes up to
// the next such line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// The zip of the parts, written by the package's own writer; "" when the
// input names no part.
std::string ZipOfPartList(std::string_view input);

// Writes bytes to a file of this process's scratch folder and returns its path.
std::string ScratchFile(const std::string& name, std::string_view bytes);
// The scratch folder's "out" subfolder, emptied: where the servers write.
std::string EmptyOutputFolder();

}  // namespace fuzz
