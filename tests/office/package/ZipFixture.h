// Packages and files for the package tests; the zips are built by
// tests/support/ZipOfParts.
#pragma once

#include "tests/support/TestFolders.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace office::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A minimal valid package: content types, package relationships, one part.
Entries MinimalPackage();

// An entry of a zip written byte by byte, so that tests can make it lie.
struct HandEntry {
    std::string name;
    std::string data;              // stored, not compressed
    std::string extra;             // extra fields, in the local header and the directory
    uint32_t declaredSize = 0;     // when not 0, the size the directory claims (both sizes)
};

// A zip of stored entries with no limit on their number.
std::string HandMadeZip(const std::vector<HandEntry>& entries);

// The Unicode path extra field (0x7075) naming the entry `name`, for a header
// name whose CRC-32 is headerCrc.
std::string UnicodePathField(uint32_t headerCrc, const std::string& name);

using ::MakeTempFolder;
using ::SharedDir;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace office::testing
