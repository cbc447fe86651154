// Packages and files for the package tests; the zips are built by
// tests/support/ZipOfParts.
#pragma once

#include "tests/support/TestFolders.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace office::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A minimal valid package: content types, package relationships, one part.
Entries MinimalPackage();

using ::MakeTempFolder;
using ::SharedDir;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace office::testing
