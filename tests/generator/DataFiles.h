// Loads a data file of the tests' data folders into a DataFile.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "datafile/DataFile.h"

inline std::string TestDataPath(const std::string& folder, const std::string& name) {
    const char* source = std::getenv("TOLVANE_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/" + folder + "/data/" + name;
}

inline std::unique_ptr<DataFile> LoadTestData(const std::string& folder, const std::string& name) {
    return std::make_unique<DataFile>(TestDataPath(folder, name).c_str());
}
