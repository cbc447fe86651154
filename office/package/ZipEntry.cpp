#include "office/package/PackageError.h"
#include "office/package/ZipArchive.h"

#include <zlib.h>

#include <limits>
#include <mutex>

namespace office {
namespace {

// Entries are shared between the documents of one template, which may live
// on different threads.
std::mutex inflation;

std::string Inflate(const ZipEntry& entry, uint64_t size) {
    const std::string failure = "Cannot read the part '" + entry.name + "': ";
    if (entry.rawMethod == 0) return entry.raw;
    if (entry.raw.size() > std::numeric_limits<uInt>::max() || size > std::numeric_limits<uInt>::max()) {
        throw PackageError(failure + "it is larger than 4 GiB");
    }
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw PackageError(failure + "out of memory");
    std::string out(size, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(entry.raw.data()));
    stream.avail_in = static_cast<uInt>(entry.raw.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const uint64_t produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != size) throw PackageError(failure + "its compressed bytes are damaged");
    if (crc32_z(0, reinterpret_cast<const Bytef*>(out.data()), out.size()) != entry.crc) {
        throw PackageError(failure + "its checksum does not match");
    }
    return out;
}

}  // namespace

const std::string& ZipEntry::Data() const {
    std::lock_guard lock(inflation);
    if (writer) {
        std::string made;
        writer([&](std::string_view bytes) { made += bytes; });
        data = std::move(made);
        writer = nullptr;
    } else if (deferred) {
        data = Inflate(*this, size);
        deferred = false;
    }
    return data;
}

void ZipEntry::Defer() {
    if (!hasRaw || deferred) return;
    size = data.size();
    std::string().swap(data);
    deferred = true;
}

void ZipEntry::SetStored(uint16_t method, uint32_t checksum, std::string stored, uint64_t bytes) {
    hasRaw = true;
    rawMethod = method;
    crc = checksum;
    raw = std::move(stored);
    std::string().swap(data);
    size = bytes;
    deferred = true;
}

}  // namespace office
