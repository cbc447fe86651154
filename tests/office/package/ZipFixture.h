// Builds small zip files for the package tests, including hostile ones.
#pragma once

#include "tests/support/TestFolders.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace office::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A zip of the given entries, each deflated, with the declared sizes true.
std::string MakeZip(const Entries& entries);

// A zip whose last entry `name` holds `size` zero bytes, deflated as tightly
// as zlib can (about a thousand to one).
std::string MakeBombZip(const Entries& entries, const std::string& name, size_t size);

// A minimal valid package: content types, package relationships, one part.
Entries MinimalPackage();

using ::MakeTempFolder;
using ::SharedDir;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace office::testing
