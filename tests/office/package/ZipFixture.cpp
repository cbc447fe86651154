#include "tests/office/package/ZipFixture.h"

#include <zlib.h>

#include <fstream>
#include <iterator>

namespace office::testing {

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

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

uint32_t Crc(const std::string& bytes) {
    return static_cast<uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

}  // namespace

std::string HandMadeZip(const std::vector<HandEntry>& entries) {
    std::string out;
    std::string directory;
    for (const HandEntry& entry : entries) {
        const uint32_t size = entry.declaredSize ? entry.declaredSize : static_cast<uint32_t>(entry.data.size());
        auto shared = [&](std::string& to) {
            Put(to, 0, 2);  // flags
            Put(to, 0, 2);  // stored
            Put(to, 0, 4);  // time and date
            Put(to, Crc(entry.data), 4);
            Put(to, size, 4);
            Put(to, size, 4);
            Put(to, static_cast<uint32_t>(entry.name.size()), 2);
            Put(to, static_cast<uint32_t>(entry.extra.size()), 2);
        };
        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2);
        Put(directory, 20, 2);
        shared(directory);
        directory.append(10, '\0');  // comment length, disk, internal and external attributes
        Put(directory, static_cast<uint32_t>(out.size()), 4);
        directory += entry.name + entry.extra;

        Put(out, 0x04034b50, 4);
        Put(out, 20, 2);
        shared(out);
        out += entry.name + entry.extra + entry.data;
    }
    const size_t start = out.size();
    out += directory;
    Put(out, 0x06054b50, 4);
    Put(out, 0, 4);
    Put(out, static_cast<uint32_t>(entries.size()), 2);
    Put(out, static_cast<uint32_t>(entries.size()), 2);
    Put(out, static_cast<uint32_t>(directory.size()), 4);
    Put(out, static_cast<uint32_t>(start), 4);
    Put(out, 0, 2);
    return out;
}

std::string UnicodePathField(uint32_t headerCrc, const std::string& name) {
    std::string field;
    Put(field, 0x7075, 2);
    Put(field, static_cast<uint32_t>(5 + name.size()), 2);
    Put(field, 1, 1);
    Put(field, headerCrc, 4);
    return field + name;
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
