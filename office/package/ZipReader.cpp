#include "office/package/PackageError.h"
#include "office/package/ZipArchive.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
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
    static const char oleSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), oleSignature, 8) == 0) {
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

    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
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
