// A temporary folder for the data files a test writes; removed with the object.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        // A fresh name that no other run holds; create_directory fails on an existing one.
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path = std::filesystem::temp_directory_path() / ("tolvane-datafile-" + std::to_string(random()));
            if (std::filesystem::create_directory(path))
                return;
        }
        throw std::runtime_error("cannot create a temporary folder");
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
