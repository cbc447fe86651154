#include "tests/office/convert/CompoundFile.h"

#include <fstream>

namespace {

void PutLe16(std::string& bytes, size_t at, unsigned value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

}  // namespace

std::string CompoundFile(const std::vector<std::pair<std::string, int>>& entries, unsigned shift) {
    const size_t sector = size_t(1) << shift;
    std::string bytes(sector * 3, '\0');
    bytes.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    PutLe16(bytes, 26, shift == 9 ? 3 : 4);
    PutLe16(bytes, 28, 0xFFFE);
    PutLe16(bytes, 30, shift);
    // The directory in the second sector after the header, as a writer may put it.
    size_t at = sector * 2;
    for (const auto& [name, type] : entries) {
        for (size_t i = 0; i < name.size(); ++i) bytes[at + 2 * i] = name[i];
        PutLe16(bytes, at + 64, unsigned(2 * (name.size() + 1)));
        bytes[at + 66] = char(type);
        at += 128;
    }
    return bytes;
}

std::string BinaryWordFile() {
    return CompoundFile({{"Root Entry", 5}, {"\x01" "CompObj", 2}, {"WordDocument", 2}, {"1Table", 2}});
}

std::string BinaryExcelFile() {
    return CompoundFile({{"Root Entry", 5}, {"Workbook", 2}, {"\x05SummaryInformation", 2}});
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
