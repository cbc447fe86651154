// An OPC package (a zip of parts) held in memory. Parts are bytes; parts
// nobody replaced are written back exactly as they were read, compressed
// bytes included. Copies share the unchanged parts, so copying is cheap.
//
// Part names are zip entry names without a leading slash
// ("word/document.xml"); a leading slash is accepted and ignored. Lookups are
// case-insensitive, as OPC part names are.
#pragma once

#include "office/package/ZipArchive.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace office {

class Package {
public:
    Package() = default;

    // Reads a package file. Throws PackageError naming the file and the
    // reason: missing or unreadable file, not a regular file, not a zip, a
    // binary Office file, an encrypted package, unsafe, duplicate or
    // ambiguous entry names, sizes the file cannot hold, a zip bomb, more
    // entries than can be written back, a part with a DTD, no [Content_Types].xml.
    static Package Open(const std::filesystem::path& path, const ZipLimits& limits = {});
    static Package FromBytes(std::string_view zipBytes, const std::string& displayName,
                             const ZipLimits& limits = {});

    const std::string& DisplayName() const { return displayName_; }

    std::vector<std::string> PartNames() const;
    bool HasPart(std::string_view name) const;
    // Throws PackageError when there is no such part.
    const std::string& Part(std::string_view name) const;
    // Adds the part, or replaces its bytes in place (keeping its position).
    void SetPart(std::string_view name, std::string bytes);
    void RemovePart(std::string_view name);

    // The spelling a part of that name is stored under; the name itself,
    // without a leading slash, for a new part. For entries made elsewhere.
    std::string StoredName(std::string_view name) const;
    // A part with its stored form, for sharing between packages; null when missing.
    std::shared_ptr<const ZipEntry> Entry(std::string_view name) const;
    // Adds or replaces the part by its entry's name.
    void SetEntry(std::shared_ptr<const ZipEntry> entry);
    // Compresses every changed part now, so that copies of this package
    // share the compressed bytes instead of compressing them again.
    void Compress();

    std::string ToBytes() const;
    // Writes the package file into the sink it is given as it is made, never
    // holding it whole. Checks what it can now, so that most failures are
    // known before a file is begun.
    ContentWriter Writer() const;
    // About the size of the package file: the parts' compressed bytes, or
    // their bytes where they are not compressed yet.
    uint64_t StoredSize() const;
    // Writes atomically; throws PackageError when target exists or the write fails.
    void SaveAs(const std::filesystem::path& target) const;

private:
    const std::shared_ptr<const ZipEntry>* Find(std::string_view name) const;

    std::string displayName_;
    std::vector<std::shared_ptr<const ZipEntry>> parts_;
    std::unordered_map<std::string, size_t> index_;  // lower-case name -> position
};

// The bytes of a package file, read without blocking on anything that is not
// a regular file (a FIFO, a device). Throws PackageError naming the file: it
// does not exist, cannot be opened, is not a regular file, or is over 1 GiB.
// PackageFile.cpp and PackageFileWindows.cpp are the two systems' sides.
std::string ReadPackageFile(const std::filesystem::path& path);

// "word/document.xml" -> "word/_rels/document.xml.rels"; "" -> "_rels/.rels".
std::string RelationshipsPartName(std::string_view partName);

// Resolves a relationship target relative to the part that holds it:
// ("word/document.xml", "media/a.png") -> "word/media/a.png"; absolute
// targets ("/word/x.xml") are taken from the package root.
std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target);

}  // namespace office
