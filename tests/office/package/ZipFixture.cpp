#include "tests/office/package/ZipFixture.h"

#include "office/package/ZipArchive.h"

#include <zlib.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace office::testing {

std::string MakeZip(const Entries& entries) {
    std::vector<std::shared_ptr<const ZipEntry>> parts;
    for (const auto& [name, data] : entries) {
        auto entry = std::make_shared<ZipEntry>();
        entry->name = name;
        entry->data = data;
        parts.push_back(entry);
    }
    return WriteZip(parts);
}

std::string MakeBombZip(const Entries& entries, const std::string& name, size_t size) {
    std::vector<std::shared_ptr<const ZipEntry>> parts;
    for (const auto& [entryName, data] : entries) {
        auto entry = std::make_shared<ZipEntry>();
        entry->name = entryName;
        entry->data = data;
        parts.push_back(entry);
    }
    auto bomb = std::make_shared<ZipEntry>();
    bomb->name = name;
    bomb->data.assign(size, '\0');
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    bomb->raw.resize(deflateBound(&stream, size));
    stream.next_in = reinterpret_cast<Bytef*>(bomb->data.data());
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = reinterpret_cast<Bytef*>(bomb->raw.data());
    stream.avail_out = static_cast<uInt>(bomb->raw.size());
    deflate(&stream, Z_FINISH);
    bomb->raw.resize(stream.total_out);
    deflateEnd(&stream);
    bomb->hasRaw = true;
    bomb->rawMethod = 8;
    bomb->crc = static_cast<uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(bomb->data.data()), size));
    parts.push_back(bomb);
    return WriteZip(parts);
}

Entries MinimalPackage() {
    return {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://example.org/main\" Target=\"main.xml\"/></Relationships>"},
        {"main.xml", "<?xml version=\"1.0\"?><root> <a>  </a></root>"},
    };
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace office::testing
