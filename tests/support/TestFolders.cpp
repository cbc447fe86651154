#include "tests/support/TestFolders.h"

#include <stdlib.h>

#include <stdexcept>

std::filesystem::path SharedDir()
{
    const char* dir = std::getenv("TOLVANE_SHARED_DIR");
    if (!dir) {
        throw std::runtime_error("TOLVANE_SHARED_DIR is not set");
    }
    return dir;
}

std::string SamplePath(const std::string& name)
{
    return (SharedDir() / "samples" / name).string();
}

std::filesystem::path MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}
