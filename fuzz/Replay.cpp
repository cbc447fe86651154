// Runs a fuzz target once on every file of the kept corpus, without libFuzzer:
// what fuzzing found stays fixed in the ordinary build and test run.
// "--max-kb N" first fails a corpus larger than N KB, so that the kept one
// holds only the few inputs that add coverage and its replay stays quick.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    uintmax_t maxBytes = UINTMAX_MAX;
    int first = 1;
    if (argc > 2 && std::string_view(argv[1]) == "--max-kb") {
        maxBytes = std::stoull(argv[2]) * 1024;
        first = 3;
    }
    for (int i = first; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) files.push_back(entry.path());
        } else {
            files.emplace_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    uintmax_t total = 0;
    for (const auto& file : files) total += std::filesystem::file_size(file);
    if (total > maxBytes) {
        std::fprintf(stderr, "the corpus holds %ju KB, more than the %ju KB kept: keep only inputs that add coverage\n",
                     total / 1024, maxBytes / 1024);
        return 1;
    }
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
