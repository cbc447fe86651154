#include "tests/support/TestFolders.h"

#include <cstdlib>
#include <random>
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

// create_directory makes a folder only when none of the name exists, so a
// clash with another test run just means another name (Windows has no mkdtemp).
std::filesystem::path MakeTempFolder()
{
    static std::mt19937 names{std::random_device{}()};
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder = parent / ("tolvane-test-" + std::to_string(names() % 1000000000u));
        if (std::filesystem::create_directory(folder)) {
            return folder;
        }
    }
    throw std::runtime_error("no fresh test folder can be made in " + parent.string());
}
