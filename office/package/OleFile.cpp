#include "office/package/OleFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace office {
namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr size_t kHeaderFatSectors = 109;
constexpr size_t kEntrySize = 128;

uint32_t Read16(std::string_view bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

uint32_t Read32(std::string_view bytes, size_t at) {
    return Read16(bytes, at) | (Read16(bytes, at + 2) << 16);
}

bool IsEncryptedPackageEntry(std::string_view entry) {
    static const std::u16string_view kName = u"EncryptedPackage";
    const uint32_t length = Read16(entry, 64);  // in bytes, the terminator included
    if (length != (kName.size() + 1) * 2) return false;
    for (size_t i = 0; i < kName.size(); ++i) {
        if (Read16(entry, 2 * i) != kName[i]) return false;
    }
    return true;
}

}  // namespace

bool IsOleFile(std::string_view bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool IsEncryptedPackage(std::string_view bytes) {
    if (!IsOleFile(bytes) || bytes.size() < 512) return false;
    const uint32_t shift = Read16(bytes, 0x1E);
    if (shift != 9 && shift != 12) return false;
    const size_t sectorSize = size_t(1) << shift;
    if (bytes.size() / sectorSize < 2) return false;
    const size_t sectors = bytes.size() / sectorSize - 1;
    auto sectorAt = [&](uint32_t sector) { return bytes.substr((size_t(sector) + 1) * sectorSize, sectorSize); };

    // The first 109 sectors of the allocation table, listed in the header,
    // cover the directory of every file of a sensible size.
    std::vector<uint32_t> next;
    for (size_t i = 0; i < kHeaderFatSectors; ++i) {
        const uint32_t sector = Read32(bytes, 0x4C + 4 * i);
        if (sector >= sectors) break;
        std::string_view table = sectorAt(sector);
        for (size_t at = 0; at + 4 <= table.size(); at += 4) next.push_back(Read32(table, at));
    }
    uint32_t sector = Read32(bytes, 0x30);
    for (size_t steps = 0; sector != kEndOfChain && sector < sectors && steps < sectors; ++steps) {
        std::string_view directory = sectorAt(sector);
        for (size_t at = 0; at + kEntrySize <= directory.size(); at += kEntrySize) {
            if (IsEncryptedPackageEntry(directory.substr(at, kEntrySize))) return true;
        }
        sector = sector < next.size() ? next[sector] : kEndOfChain;
    }
    return false;
}

}  // namespace office
