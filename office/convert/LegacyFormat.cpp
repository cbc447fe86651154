#include "office/convert/LegacyFormat.h"

#include "office/package/PathText.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string_view>

namespace office {
namespace {

constexpr char kOleSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr size_t kEntrySize = 128;
// Directory entries of real templates lie far below this; it bounds the scan.
constexpr uintmax_t kScanLimit = 256u << 20;

uint16_t Le16(const char* bytes) {
    return uint16_t(uint8_t(bytes[0]) | uint8_t(bytes[1]) << 8);
}

uint32_t Le32(const char* bytes) {
    return uint32_t(Le16(bytes)) | uint32_t(Le16(bytes + 2)) << 16;
}

bool HasExtension(const std::filesystem::path& path, const char* extension) {
    return strcasecmp(PathText(path.extension()).c_str(), extension) == 0;
}

// The name of a compound-file directory entry for a stream, or "".
std::string StreamName(const char* entry) {
    const uint16_t length = Le16(entry + 64);
    if (entry[66] != 2 || length < 4 || length > 64 || length % 2 != 0) return "";
    std::string name;
    for (size_t i = 0; i + 2 < length; i += 2) {
        if (entry[i + 1] != 0 || entry[i] == 0) return "";
        name += entry[i];
    }
    return entry[length - 2] == 0 && entry[length - 1] == 0 ? name : "";
}

// Directory entries sit in sectors after the header, so every one starts at
// a multiple of 128 bytes; looking there needs neither the allocation table
// nor trust in its chains.
LegacyFormat DetectCompoundFile(std::ifstream& in, const std::filesystem::path& path, const char* header) {
    const unsigned shift = Le16(header + 30);
    if (shift != 9 && shift != 12) return {};
    in.seekg(std::streamoff(1) << shift);
    std::array<char, kEntrySize * 512> block;
    uintmax_t scanned = 0;
    while (in && scanned < kScanLimit) {
        in.read(block.data(), block.size());
        const size_t got = size_t(in.gcount());
        scanned += got;
        for (size_t offset = 0; offset + kEntrySize <= got; offset += kEntrySize) {
            const std::string name = StreamName(block.data() + offset);
            if (name == "WordDocument") {
                const bool dot = HasExtension(path, ".dot");
                return {LegacyKind::Text, "a binary Word file (.doc/.dot)", dot ? "dot" : "doc", dot};
            }
            if (name == "Workbook" || name == "Book") {
                const bool xlt = HasExtension(path, ".xlt");
                return {LegacyKind::Spreadsheet, "a binary Excel file (.xls/.xlt)", xlt ? "xlt" : "xls", xlt};
            }
        }
    }
    return {};
}

// An OpenDocument package starts with a stored "mimetype" entry.
LegacyFormat DetectOpenDocument(std::ifstream& in, const char* header) {
    const uint16_t nameLength = Le16(header + 26);
    const uint16_t extraLength = Le16(header + 28);
    const uint32_t dataLength = Le32(header + 18);
    if (Le16(header + 8) != 0 || nameLength != 8 || dataLength > 80) return {};
    std::array<char, 8 + 0xFFFF + 80> rest{};
    in.seekg(30);
    if (!in.read(rest.data(), nameLength + extraLength + dataLength)) return {};
    if (std::string_view(rest.data(), 8) != "mimetype") return {};
    const std::string_view type(rest.data() + 8 + extraLength, dataLength);
    const std::string_view prefix = "application/vnd.oasis.opendocument.";
    if (type.substr(0, prefix.size()) != prefix) return {};
    const std::string_view kind = type.substr(prefix.size());
    if (kind == "text") return {LegacyKind::Text, "an OpenDocument text (.odt)", "odt", false};
    if (kind == "text-template") return {LegacyKind::Text, "an OpenDocument text template (.ott)", "ott", true};
    if (kind == "spreadsheet") return {LegacyKind::Spreadsheet, "an OpenDocument spreadsheet (.ods)", "ods", false};
    if (kind == "spreadsheet-template") {
        return {LegacyKind::Spreadsheet, "an OpenDocument spreadsheet template (.ots)", "ots", true};
    }
    return {};
}

}  // namespace

LegacyFormat DetectLegacyFormat(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    char header[512] = {};
    in.read(header, sizeof header);
    const size_t got = size_t(in.gcount());
    in.clear();
    if (got >= 512 && std::memcmp(header, kOleSignature, 8) == 0) return DetectCompoundFile(in, path, header);
    if (got >= 30 && std::memcmp(header, "PK\x03\x04", 4) == 0) return DetectOpenDocument(in, header);
    if (got >= 5 && std::memcmp(header, "{\\rtf", 5) == 0) return {LegacyKind::Text, "an RTF file (.rtf)", "rtf", false};
    return {};
}

}  // namespace office
