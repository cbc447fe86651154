#include "office/package/OleFile.h"
#include "office/package/PackageError.h"
#include "office/package/ZipArchive.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace office {
namespace {

std::string Fail(const std::string& displayName, const std::string& reason) {
    return "Cannot read '" + displayName + "': " + reason;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Entry names must stay inside the package: no absolute paths, drive letters,
// backslashes or parent segments.
const char* UnsafeNameReason(std::string_view name) {
    if (name.empty()) return "an entry has an empty name";
    if (name.front() == '/' || name.front() == '\\') return "has an absolute entry name";
    if (name.size() >= 2 && name[1] == ':') return "has an entry name with a drive letter";
    if (name.find('\\') != std::string_view::npos) return "has an entry name with a backslash";
    if (name.find('\0') != std::string_view::npos) return "has an entry name with a NUL character";
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return "has an entry name that leaves the package ('..')";
        start = end + 1;
    }
    return nullptr;
}

uint32_t Little(std::string_view bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// libzip takes an entry's name from its Unicode path extra field (0x7075)
// when the field's CRC matches the header name, and hides the field. When the
// two names differ and the field's name is plain ASCII (so it is no mere
// transcription of a code-page name), readers that keep the header name see a
// different document: such a package is refused. The central directory is
// walked here for that; libzip checks everything else about it.
void RefuseConflictingUnicodeNames(std::string_view bytes, const std::string& displayName) {
    constexpr size_t kEndRecord = 22;
    constexpr size_t kDirectoryRecord = 46;
    constexpr uint32_t kUnicodePath = 0x7075;
    if (bytes.size() < kEndRecord) return;
    size_t end = bytes.size() - kEndRecord;
    const size_t lowest = end > 0xffff ? end - 0xffff : 0;
    while (end > lowest && Little(bytes, end, 4) != 0x06054b50) --end;
    if (Little(bytes, end, 4) != 0x06054b50) return;
    const uint32_t count = Little(bytes, end + 10, 2);
    size_t at = Little(bytes, end + 16, 4);
    for (uint32_t i = 0; i < count && at + kDirectoryRecord <= end && Little(bytes, at, 4) == 0x02014b50; ++i) {
        const size_t nameLength = Little(bytes, at + 28, 2);
        const size_t extraLength = Little(bytes, at + 30, 2);
        const size_t commentLength = Little(bytes, at + 32, 2);
        const size_t next = at + kDirectoryRecord + nameLength + extraLength + commentLength;
        if (next > end) return;
        const std::string_view name = bytes.substr(at + kDirectoryRecord, nameLength);
        const std::string_view extra = bytes.substr(at + kDirectoryRecord + nameLength, extraLength);
        for (size_t field = 0; field + 4 <= extra.size();) {
            const uint32_t id = Little(extra, field, 2);
            const size_t length = Little(extra, field + 2, 2);
            if (field + 4 + length > extra.size()) break;
            const std::string_view data = extra.substr(field + 4, length);
            field += 4 + length;
            if (id != kUnicodePath || length < 5 || data[0] != 1) continue;
            const std::string_view unicodeName = data.substr(5);
            const auto crc = crc32_z(0, reinterpret_cast<const Bytef*>(name.data()), name.size());
            const bool ascii = std::all_of(unicodeName.begin(), unicodeName.end(), [](char c) { return (c & 0x80) == 0; });
            if (crc == Little(data, 1, 4) && ascii && unicodeName != name) {
                throw PackageError(Fail(displayName, "the entry '" + std::string(name) + "' is also named '" +
                                                         std::string(unicodeName) +
                                                         "' by its Unicode path field; the package is ambiguous"));
            }
        }
        at = next;
    }
}

// Declared sizes are checked against the file before anything is allocated
// for them: compressed bytes must lie in the file, and no method expands more
// than deflate can.
const char* ImpossibleSizeReason(const zip_stat_t& stat, uint64_t fileSize) {
    constexpr uint64_t kDeflateMaxRatio = 1032;
    if (stat.comp_size > fileSize) return "declares more compressed bytes than the file holds";
    if (stat.comp_method == ZIP_CM_STORE && stat.size != stat.comp_size) {
        return "declares a size its stored bytes do not have";
    }
    if (stat.comp_method == ZIP_CM_DEFLATE && stat.size / kDeflateMaxRatio > stat.comp_size + 1) {
        return "declares a size its compressed bytes cannot expand to";
    }
    return nullptr;
}

std::string ReadEntry(zip_t* archive, zip_uint64_t index, zip_flags_t flags, uint64_t expected,
                      const std::string& displayName, const std::string& name) {
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, index, flags));
    if (!file) {
        throw PackageError(Fail(displayName, "entry '" + name + "' cannot be opened: " + zip_strerror(archive)));
    }
    std::string data;
    data.resize(expected);
    uint64_t filled = 0;
    while (filled < expected) {
        zip_int64_t got = zip_fread(file.get(), data.data() + filled, expected - filled);
        if (got < 0) {
            throw PackageError(Fail(displayName, "entry '" + name + "' is damaged: " + zip_file_strerror(file.get())));
        }
        if (got == 0) break;
        filled += static_cast<uint64_t>(got);
    }
    char extra;
    if (filled != expected || zip_fread(file.get(), &extra, 1) != 0) {
        throw PackageError(Fail(displayName, "entry '" + name + "' does not have its declared size"));
    }
    return data;
}

}  // namespace

std::vector<ZipEntry> ReadZip(std::string_view bytes, const std::string& displayName, const ZipLimits& limits,
                              const std::function<void(ZipEntry&)>& inspect) {
    if (IsEncryptedPackage(bytes)) {
        throw PackageError(Fail(displayName, "it is encrypted (a password-protected OOXML file); "
                                             "remove the password in its application and save it again"));
    }
    if (IsOleFile(bytes)) {
        throw PackageError(Fail(displayName,
                                "it is a binary Office file (OLE compound document); only OOXML packages are read"));
    }
    if (bytes.empty()) throw PackageError(Fail(displayName, "the file is empty, not a zip package"));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw PackageError(Fail(displayName, reason));
    }
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        std::string reason = code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS || code == ZIP_ER_INVAL
                                 ? "it is not a zip package"
                                 : std::string("it is not a readable zip package (") + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
        throw PackageError(Fail(displayName, reason));
    }
    zip_error_fini(&error);

    RefuseConflictingUnicodeNames(bytes, displayName);
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count > kMaxZipEntries) {
        throw PackageError(Fail(displayName, "it has " + std::to_string(count) + " entries; a package of more than " +
                                                 std::to_string(kMaxZipEntries) + " parts cannot be written"));
    }
    uint64_t compressedTotal = 0;
    std::vector<ZipEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    std::unordered_set<std::string> seen;
    uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            throw PackageError(Fail(displayName, zip_strerror(archive.get())));
        }
        std::string name = stat.name ? stat.name : "";
        if (const char* reason = UnsafeNameReason(name)) throw PackageError(Fail(displayName, reason + (": '" + name + "'")));
        if (!seen.insert(LowerAscii(name)).second) {
            throw PackageError(Fail(displayName, "the entry '" + name + "' occurs twice"));
        }
        if (name.back() == '/') continue;  // folders are not parts
        if (stat.encryption_method != ZIP_EM_NONE) {
            throw PackageError(Fail(displayName, "the entry '" + name + "' is encrypted"));
        }
        if (const char* impossible = ImpossibleSizeReason(stat, bytes.size())) {
            throw PackageError(Fail(displayName, "the entry '" + name + "' " + impossible));
        }
        compressedTotal += stat.comp_size;
        if (compressedTotal > bytes.size()) {
            throw PackageError(Fail(displayName, "its entries up to '" + name +
                                                     "' declare more compressed bytes than the file holds"));
        }
        total += stat.size;
        if (total > limits.maxTotalUncompressed) {
            throw PackageError(Fail(displayName, "its entries expand to more than 1 GiB (zip bomb?)"));
        }
        if (stat.size >= limits.ratioCheckFrom && stat.size / std::max<uint64_t>(stat.comp_size, 1) > limits.maxRatio) {
            throw PackageError(Fail(displayName, "the entry '" + name + "' expands " +
                                                     std::to_string(stat.size / std::max<uint64_t>(stat.comp_size, 1)) +
                                                     " times (zip bomb)"));
        }
        ZipEntry entry;
        entry.name = name;
        entry.data = ReadEntry(archive.get(), static_cast<zip_uint64_t>(i), 0, stat.size, displayName, name);
        if (stat.comp_method == ZIP_CM_DEFLATE || stat.comp_method == ZIP_CM_STORE) {
            entry.hasRaw = true;
            entry.rawMethod = stat.comp_method;
            entry.crc = stat.crc;
            entry.raw = stat.comp_method == ZIP_CM_STORE
                            ? entry.data
                            : ReadEntry(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED, stat.comp_size,
                                        displayName, name);
        }
        inspect(entry);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace office
