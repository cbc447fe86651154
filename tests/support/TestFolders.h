// Folders the tests read from and write to.
#pragma once

#include <filesystem>
#include <string>

// The shared folder of samples and examples (TOLVANE_SHARED_DIR); throws
// std::runtime_error when it is not set.
std::filesystem::path SharedDir();

// A file of the shared samples folder, as text for the servers' Add calls.
std::string SamplePath(const std::string& name);

// A fresh empty folder under the system temp folder, removed by the caller.
std::filesystem::path MakeTempFolder();
