// Data files of the tests' data folders: loaded as they are, or copied with
// their placeholders replaced (@EXAMPLES@ the project's examples folder,
// @DATA@ the folder the file comes from, @SAMPLES@ the shared real samples).
#pragma once

#include <memory>
#include <string>

#include "datafile/DataFile.h"

std::string SourceFolder();
std::string TestDataPath(const std::string& folder, const std::string& name);
std::unique_ptr<DataFile> LoadTestData(const std::string& folder, const std::string& name);

// Writes the file at `source` into `targetFolder` with the placeholders
// replaced; returns the path of the copy.
std::string CopyWithPlaceholders(const std::string& source, const std::string& targetFolder);
