#include "tests/generator/DataFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement) {
    for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + replacement.size()))
        text.replace(at, pattern.size(), replacement);
}

std::string SharedFolder() {
    const char* shared = std::getenv("TOLVANE_SHARED_DIR");
    return shared ? shared : SourceFolder() + "/../shared";
}

}  // namespace

std::string SourceFolder() {
    const char* source = std::getenv("TOLVANE_SOURCE_DIR");
    return source ? source : ".";
}

std::string TestDataPath(const std::string& folder, const std::string& name) {
    return SourceFolder() + "/tests/" + folder + "/data/" + name;
}

std::unique_ptr<DataFile> LoadTestData(const std::string& folder, const std::string& name) {
    return std::make_unique<DataFile>(TestDataPath(folder, name).c_str());
}

std::string CopyWithPlaceholders(const std::string& source, const std::string& targetFolder) {
    std::ifstream in(source, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReplaceAll(text, "@EXAMPLES@", SourceFolder() + "/examples");
    ReplaceAll(text, "@DATA@", std::filesystem::path(source).parent_path().string());
    ReplaceAll(text, "@SAMPLES@", SharedFolder() + "/samples");
    std::string target = targetFolder + "/" + std::filesystem::path(source).filename().string();
    std::ofstream(target, std::ios::binary) << text;
    return target;
}
