// A temporary folder for the data files a test writes; removed with the object.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-datafile-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        path = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path); }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes the bytes exactly as given and returns the file's full path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string file = (path / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    std::string PathOf(const std::string& name) const { return (path / name).string(); }

private:
    std::filesystem::path path;
};
