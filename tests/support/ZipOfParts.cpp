#include "tests/support/ZipOfParts.h"

#include <zlib.h>

#include <memory>

#include "office/package/ZipArchive.h"

namespace {

std::vector<std::shared_ptr<const office::ZipEntry>> EntriesOf(const Parts& parts)
{
    std::vector<std::shared_ptr<const office::ZipEntry>> entries;
    for (const auto& [name, data] : parts) {
        auto entry = std::make_shared<office::ZipEntry>();
        entry->name = name;
        entry->data = data;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace

std::string ZipOfParts(const Parts& parts)
{
    return office::WriteZip(EntriesOf(parts));
}

std::string BombZipOfParts(const Parts& parts, const std::string& name, size_t size)
{
    auto bomb = std::make_shared<office::ZipEntry>();
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
    std::vector<std::shared_ptr<const office::ZipEntry>> entries = EntriesOf(parts);
    entries.push_back(bomb);
    return office::WriteZip(entries);
}
