#include "office/package/Package.h"

#include "office/package/AtomicFile.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/WrittenPartsCheck.h"
#include "office/package/Xml.h"

#include <cctype>
#include <sstream>

namespace office {
namespace {

std::string_view StripSlash(std::string_view name) {
    return !name.empty() && name.front() == '/' ? name.substr(1) : name;
}

std::string Key(std::string_view name) {
    std::string key(StripSlash(name));
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

bool IsXmlPart(std::string_view name) {
    auto endsWith = [&](std::string_view tail) {
        return name.size() >= tail.size() && Key(name.substr(name.size() - tail.size())) == tail;
    };
    return endsWith(".xml") || endsWith(".rels");
}

}  // namespace

Package Package::Open(const std::filesystem::path& path, const ZipLimits& limits) {
    std::string bytes = ReadPackageFile(path);
    return FromBytes(bytes, PathText(path), limits);
}

Package Package::FromBytes(std::string_view zipBytes, const std::string& displayName, const ZipLimits& limits) {
    Package package;
    package.displayName_ = displayName;
    auto inspect = [&](ZipEntry& entry) {
        if (IsXmlPart(entry.name) && HasDoctype(entry.data)) {
            throw PackageError("Cannot read '" + displayName + "': the part '" + entry.name +
                               "' declares a DTD, which is not allowed");
        }
        entry.Defer();
    };
    for (ZipEntry& entry : ReadZip(zipBytes, displayName, limits, inspect)) {
        package.index_.emplace(Key(entry.name), package.parts_.size());
        package.parts_.push_back(std::make_shared<const ZipEntry>(std::move(entry)));
    }
    if (!package.HasPart("[Content_Types].xml")) {
        throw PackageError("Cannot read '" + displayName + "': it is not an OOXML package (no [Content_Types].xml)");
    }
    return package;
}

std::vector<std::string> Package::PartNames() const {
    std::vector<std::string> names;
    names.reserve(parts_.size());
    for (const auto& part : parts_) names.push_back(part->name);
    return names;
}

const std::shared_ptr<const ZipEntry>* Package::Find(std::string_view name) const {
    auto found = index_.find(Key(name));
    return found == index_.end() ? nullptr : &parts_[found->second];
}

bool Package::HasPart(std::string_view name) const {
    return Find(name) != nullptr;
}

const std::string& Package::Part(std::string_view name) const {
    const auto* part = Find(name);
    if (!part) throw PackageError("The package '" + displayName_ + "' has no part '" + std::string(name) + "'");
    return (*part)->Data();
}

void Package::SetPart(std::string_view name, std::string bytes) {
    auto entry = std::make_shared<ZipEntry>();
    entry->data = std::move(bytes);
    entry->name = StoredName(name);
    SetEntry(std::move(entry));
}

std::string Package::StoredName(std::string_view name) const {
    const auto* part = Find(name);
    return part ? (*part)->name : std::string(StripSlash(name));
}

std::shared_ptr<const ZipEntry> Package::Entry(std::string_view name) const {
    const auto* part = Find(name);
    return part ? *part : nullptr;
}

void Package::SetEntry(std::shared_ptr<const ZipEntry> entry) {
    const std::string key = Key(entry->name);
    auto found = index_.find(key);
    if (found != index_.end()) {
        parts_[found->second] = std::move(entry);
        return;
    }
    index_.emplace(key, parts_.size());
    parts_.push_back(std::move(entry));
}

void Package::Compress() {
    for (auto& part : parts_) part = Compressed(part);
}

void Package::RemovePart(std::string_view name) {
    auto found = index_.find(Key(name));
    if (found == index_.end()) return;
    parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(found->second));
    index_.clear();
    for (size_t i = 0; i < parts_.size(); ++i) index_.emplace(Key(parts_[i]->name), i);
}

std::string Package::ToBytes() const {
    if (WrittenPartsChecked()) CheckWrittenParts(*this);
    return WriteZip(parts_);
}

ContentWriter Package::Writer() const {
    if (WrittenPartsChecked()) CheckWrittenParts(*this);
    return [parts = parts_](const ByteSink& sink) { WriteZip(parts, sink); };
}

uint64_t Package::StoredSize() const {
    uint64_t size = 0;
    for (const auto& part : parts_) size += part->hasRaw ? part->raw.size() : part->Size();
    return size;
}

void Package::SaveAs(const std::filesystem::path& target) const {
    if (!WriteFileNoReplace(target, Writer())) {
        throw PackageError("Cannot write '" + PathText(target) + "': the file already exists");
    }
}

std::string RelationshipsPartName(std::string_view partName) {
    std::string_view name = StripSlash(partName);
    size_t slash = name.rfind('/');
    std::string folder = slash == std::string_view::npos ? "" : std::string(name.substr(0, slash + 1));
    std::string file(slash == std::string_view::npos ? name : name.substr(slash + 1));
    return folder + "_rels/" + file + ".rels";
}

std::string ResolvePartTarget(std::string_view sourcePart, std::string_view target) {
    std::string path;
    if (!target.empty() && target.front() == '/') {
        path = std::string(target.substr(1));
    } else {
        std::string_view source = StripSlash(sourcePart);
        size_t slash = source.rfind('/');
        path = (slash == std::string_view::npos ? "" : std::string(source.substr(0, slash + 1))) + std::string(target);
    }
    std::vector<std::string> segments;
    std::stringstream stream(path);
    std::string segment;
    while (std::getline(stream, segment, '/')) {
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
            continue;
        }
        segments.push_back(segment);
    }
    std::string resolved;
    for (const auto& part : segments) resolved += (resolved.empty() ? "" : "/") + part;
    return resolved;
}

}  // namespace office
