#include "office/package/PackageError.h"
#include "office/package/ZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <limits>

namespace office {
namespace {

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xff));
    out.push_back(static_cast<char>((value >> 8) & 0xff));
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

struct DosTime {
    uint16_t time = 0;
    uint16_t date = (1 << 5) | 1;  // 1980-01-01
};

DosTime Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    DosTime result;
    if (localtime_r(&now, &local) && local.tm_year >= 80) {
        result.time = static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
        result.date = static_cast<uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    }
    return result;
}

// One compressor per thread and level, reset between parts: setting one up
// costs more than compressing a small part.
class Deflater {
public:
    explicit Deflater(int level) {
        if (deflateInit2(&stream_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw PackageError("Cannot compress a package part: out of memory");
        }
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Appends the compressed bytes to out a piece at a time, so that out
    // never holds room for more than it needs. A small part gets a piece of
    // its own bound: a full piece for each of a thousand small documents costs
    // more in cleared memory than their compression.
    void CompressInto(const std::string& data, std::string& out) {
        Reset();
        Feed(data, out, Z_FINISH);
    }

    void Reset() { deflateReset(&stream_); }

    // Compresses the next bytes of a part begun by Reset; the last ones with Z_FINISH.
    void Feed(std::string_view data, std::string& out, int flush) {
        constexpr size_t kPiece = 256 * 1024;
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream_.avail_in = static_cast<uInt>(data.size());
        // What is still to come is bounded by the bound of all the part's bytes
        // so far; bytes in the middle of a part mostly come out as they go in.
        const uLong bound = deflateBound(&stream_, static_cast<uLong>(stream_.total_in + data.size()));
        size_t left = bound > stream_.total_out ? bound - stream_.total_out : 0;
        if (flush != Z_FINISH) left = std::min<size_t>(left, deflateBound(&stream_, static_cast<uLong>(data.size())));
        const size_t piece = std::clamp<size_t>(left, 64, kPiece);
        int result = Z_OK;
        do {
            const size_t start = out.size();
            out.resize(start + piece);
            stream_.next_out = reinterpret_cast<Bytef*>(out.data() + start);
            stream_.avail_out = static_cast<uInt>(piece);
            result = deflate(&stream_, flush);
            out.resize(out.size() - stream_.avail_out);
        } while (result == Z_OK && (flush == Z_FINISH || stream_.avail_in > 0 || stream_.avail_out == 0));
        const bool done = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK || result == Z_BUF_ERROR;
        if (!done) throw PackageError("Cannot compress a package part");
    }

private:
    z_stream stream_{};
};

// Big parts are compressed for speed; they are repetitive and still shrink well.
constexpr size_t kFastFrom = 4u << 20;
constexpr int kFastLevel = 1;

// The thread's fast compressor, lent to one user at a time: big parts and
// writers take turns with it, and a second user at the same time (a writer
// open while another part is compressed) gets one of its own.
class FastDeflater {
public:
    FastDeflater() : deflater_(Claim()) { deflater_->Reset(); }
    ~FastDeflater() {
        if (deflater_ == Shared().get()) SharedBusy() = false;
    }
    FastDeflater(const FastDeflater&) = delete;
    FastDeflater& operator=(const FastDeflater&) = delete;
    Deflater& operator*() { return *deflater_; }
    Deflater* operator->() { return deflater_; }

private:
    static std::unique_ptr<Deflater>& Shared() {
        thread_local std::unique_ptr<Deflater> shared = std::make_unique<Deflater>(kFastLevel);
        return shared;
    }
    static bool& SharedBusy() {
        thread_local bool busy = false;
        return busy;
    }
    Deflater* Claim() {
        if (!SharedBusy()) {
            SharedBusy() = true;
            return Shared().get();
        }
        own_ = std::make_unique<Deflater>(kFastLevel);
        return own_.get();
    }

    std::unique_ptr<Deflater> own_;
    Deflater* deflater_;
};

void DeflateInto(const std::string& data, std::string& out) {
    if (data.size() > kFastFrom) {
        FastDeflater fast;
        fast->CompressInto(data, out);
        return;
    }
    thread_local Deflater standard(Z_DEFAULT_COMPRESSION);
    standard.CompressInto(data, out);
}

uint32_t Crc(const std::string& data) {
    return static_cast<uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

struct Written {
    const std::string* name;
    uint16_t flags;
    uint16_t method;
    uint32_t crc;
    uint32_t compressedSize;
    uint32_t size;
    uint32_t offset;
};

// From the flags to the name length, a local header and its central
// directory record hold the same fields.
void PutSharedFields(std::string& out, const Written& item, DosTime stamp) {
    Put16(out, item.flags);
    Put16(out, item.method);
    Put16(out, stamp.time);
    Put16(out, stamp.date);
    Put32(out, item.crc);
    Put32(out, item.compressedSize);
    Put32(out, item.size);
    Put16(out, static_cast<uint32_t>(item.name->size()));
}

constexpr uint16_t kUtf8Names = 0x0800;
// The sizes and checksum are zero in the local header and follow the data.
constexpr uint16_t kSizesFollow = 0x0008;

void CheckFits(uint64_t value, const std::string& name) {
    if (value > std::numeric_limits<uint32_t>::max()) {
        throw PackageError("Cannot write the package: the part '" + name + "' is larger than 4 GiB");
    }
}

}  // namespace

class DeflatingWriter::Stream : public FastDeflater {};

DeflatingWriter::DeflatingWriter(std::string name) : stream_(std::make_unique<Stream>()) {
    entry_.name = std::move(name);
}

DeflatingWriter::~DeflatingWriter() = default;

void DeflatingWriter::Write(std::string_view bytes) {
    size_ += bytes.size();
    crc_ = static_cast<uint32_t>(crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
    (*stream_)->Feed(bytes, entry_.raw, Z_NO_FLUSH);
}

std::shared_ptr<const ZipEntry> DeflatingWriter::Finish() {
    (*stream_)->Feed({}, entry_.raw, Z_FINISH);
    std::string stored = std::move(entry_.raw);
    stored.shrink_to_fit();
    auto entry = std::make_shared<ZipEntry>(std::move(entry_));
    entry->SetStored(8, crc_, std::move(stored), size_);
    return entry;
}

std::shared_ptr<const ZipEntry> DeflatedEntry(std::string name, const std::function<void(const PartSink&)>& write) {
    DeflatingWriter out(std::move(name));
    write([&](std::string_view bytes) { out.Write(bytes); });
    return out.Finish();
}

std::shared_ptr<const ZipEntry> StreamedEntry(std::string name, std::function<void(const PartSink&)> write) {
    auto entry = std::make_shared<ZipEntry>();
    entry->name = std::move(name);
    entry->writer = std::move(write);
    return entry;
}

std::shared_ptr<const ZipEntry> Compressed(std::shared_ptr<const ZipEntry> entry) {
    if (entry->writer) return DeflatedEntry(entry->name, entry->writer);
    if (entry->hasRaw) return entry;
    auto packed = std::make_shared<ZipEntry>(*entry);
    DeflateInto(packed->Data(), packed->raw);
    packed->raw.shrink_to_fit();
    packed->rawMethod = 8;
    packed->crc = Crc(packed->Data());
    packed->hasRaw = true;
    packed->Defer();
    return packed;
}

namespace {

void PutLocalHeader(std::string& out, const Written& item, DosTime stamp) {
    Put32(out, 0x04034b50);
    Put16(out, 20);
    PutSharedFields(out, item, stamp);
    Put16(out, 0);
    out += *item.name;
}

// A part made as it is written: compressed into the sink in pieces, its
// sizes and checksum in a data descriptor after it. Returns the bytes it took.
uint64_t WriteStreamedPart(const ZipEntry& entry, Written& item, DosTime stamp, const ByteSink& sink) {
    constexpr size_t kPiece = 64 * 1024;
    std::string out;
    PutLocalHeader(out, item, stamp);
    const uint64_t headerSize = out.size();
    sink(out);
    out.clear();
    FastDeflater deflater;
    uint64_t size = 0;
    uint64_t compressed = 0;
    auto send = [&] {
        compressed += out.size();
        sink(out);
        out.clear();
    };
    entry.writer([&](std::string_view bytes) {
        size += bytes.size();
        item.crc = static_cast<uint32_t>(crc32_z(item.crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
        deflater->Feed(bytes, out, Z_NO_FLUSH);
        if (out.size() >= kPiece) send();
    });
    deflater->Feed({}, out, Z_FINISH);
    send();
    CheckFits(size, entry.name);
    CheckFits(compressed, entry.name);
    item.size = static_cast<uint32_t>(size);
    item.compressedSize = static_cast<uint32_t>(compressed);
    Put32(out, 0x08074b50);
    Put32(out, item.crc);
    Put32(out, item.compressedSize);
    Put32(out, item.size);
    sink(out);
    return headerSize + compressed + out.size();
}

}  // namespace

void WriteZip(const std::vector<std::shared_ptr<const ZipEntry>>& entries, const ByteSink& sink) {
    if (entries.size() > static_cast<size_t>(kMaxZipEntries)) {
        throw PackageError("Cannot write the package: it has " + std::to_string(entries.size()) + " parts, more than " +
                           std::to_string(kMaxZipEntries));
    }
    const DosTime stamp = Now();
    uint64_t offset = 0;
    std::string header;
    // A part that is not compressed yet is compressed here first: its header needs the sizes.
    std::string packed;
    std::vector<Written> written;
    written.reserve(entries.size());
    for (const auto& entry : entries) {
        CheckFits(offset, entry->name);
        if (entry->writer) {
            Written item{&entry->name, kUtf8Names | kSizesFollow, 8, 0, 0, 0, static_cast<uint32_t>(offset)};
            offset += WriteStreamedPart(*entry, item, stamp, sink);
            written.push_back(item);
            continue;
        }
        Written item{&entry->name, kUtf8Names, 8, 0, 0, 0, static_cast<uint32_t>(offset)};
        CheckFits(entry->Size(), entry->name);
        item.size = static_cast<uint32_t>(entry->Size());
        const std::string* stored = &entry->raw;
        if (entry->hasRaw) {
            item.method = entry->rawMethod;
            item.crc = entry->crc;
        } else {
            packed.clear();
            DeflateInto(entry->Data(), packed);
            item.crc = Crc(entry->Data());
            stored = &packed;
        }
        CheckFits(stored->size(), entry->name);
        item.compressedSize = static_cast<uint32_t>(stored->size());
        header.clear();
        PutLocalHeader(header, item, stamp);
        sink(header);
        sink(*stored);
        offset += header.size() + stored->size();
        written.push_back(item);
    }
    const uint64_t directoryStart = offset;
    std::string directory;
    for (const Written& item : written) {
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        PutSharedFields(directory, item, stamp);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, item.offset);
        directory += *item.name;
    }
    CheckFits(directoryStart + directory.size(), "central directory");
    const uint64_t directorySize = directory.size();
    Put32(directory, 0x06054b50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, static_cast<uint32_t>(written.size()));
    Put16(directory, static_cast<uint32_t>(written.size()));
    Put32(directory, static_cast<uint32_t>(directorySize));
    Put32(directory, static_cast<uint32_t>(directoryStart));
    Put16(directory, 0);
    sink(directory);
}

std::string WriteZip(const std::vector<std::shared_ptr<const ZipEntry>>& entries) {
    // Room for the headers, the parts compressed already and the bound of
    // the others, so that a large package is not copied while it grows.
    size_t room = 22;
    for (const auto& entry : entries) {
        room += 30 + 46 + 2 * entry->name.size() +
                (entry->hasRaw ? entry->raw.size() : compressBound(static_cast<uLong>(entry->Size())));
    }
    std::string out;
    out.reserve(room);
    WriteZip(entries, [&](std::string_view bytes) { out += bytes; });
    return out;
}

}  // namespace office
