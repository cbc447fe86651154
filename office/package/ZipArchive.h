// Reading and writing the zip container of an OPC package. Entries keep their
// raw compressed bytes, so an entry nobody changed is written back as it came.
#pragma once

#include "office/package/ByteSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace office {

struct ZipEntry {
    std::string name;
    // Uncompressed bytes; empty while deferred, so read them through Data().
    mutable std::string data;
    // The stored form of an entry read from a zip; empty method means none.
    bool hasRaw = false;
    uint16_t rawMethod = 0;
    uint32_t crc = 0;
    std::string raw;

    // The uncompressed bytes, inflated from the stored form on first use
    // when they were deferred. Throws PackageError when they cannot be.
    const std::string& Data() const;
    uint64_t Size() const { return deferred ? size : data.size(); }
    // Lets the uncompressed bytes go until someone asks for them: a part
    // nobody reads costs only its compressed bytes.
    void Defer();
    // Holds only the stored form of bytes of that size and checksum.
    void SetStored(uint16_t method, uint32_t checksum, std::string stored, uint64_t bytes);

    // Makes the bytes of a StreamedEntry into the sink; null for any other
    // entry and once Data() has made them.
    mutable std::function<void(const ByteSink&)> writer;

private:
    mutable bool deferred = false;
    uint64_t size = 0;
};

// Without ZIP64 a zip holds at most 65,535 entries; the last count is kept
// free as the marker some readers take for ZIP64.
inline constexpr int64_t kMaxZipEntries = 0xfffe;

struct ZipLimits {
    uint64_t maxTotalUncompressed = uint64_t(1) << 30;
    // An entry this large that expands more than maxRatio times marks a zip bomb.
    uint64_t ratioCheckFrom = uint64_t(1) << 20;
    uint64_t maxRatio = 500;
};

// Reads every entry of the zip held in bytes. Throws PackageError with
// displayName in the text for anything unsafe or unreadable. Each entry goes
// through `inspect` as soon as it is read, which may defer its bytes, so that
// reading never holds more than one entry uncompressed.
std::vector<ZipEntry> ReadZip(std::string_view bytes, const std::string& displayName,
                              const ZipLimits& limits = {},
                              const std::function<void(ZipEntry&)>& inspect = [](ZipEntry&) {});

// The entry with its stored form: itself when it has one, else a copy with
// its bytes deflated and the uncompressed ones deferred.
std::shared_ptr<const ZipEntry> Compressed(std::shared_ptr<const ZipEntry> entry);

// A part compressed at a fast level while its bytes are made, so that it is
// never held whole: office applications save at a fast level too.
class DeflatingWriter {
public:
    explicit DeflatingWriter(std::string name);
    ~DeflatingWriter();
    DeflatingWriter(const DeflatingWriter&) = delete;
    DeflatingWriter& operator=(const DeflatingWriter&) = delete;

    void Write(std::string_view bytes);
    // The entry with its stored form only; the writer is spent.
    std::shared_ptr<const ZipEntry> Finish();

private:
    class Stream;
    ZipEntry entry_;
    uint64_t size_ = 0;
    uint32_t crc_ = 0;
    std::unique_ptr<Stream> stream_;
};

// Receives a part's bytes a piece at a time, in order.
using PartSink = ByteSink;
// The part that `write` makes, compressed by a DeflatingWriter while it is made.
std::shared_ptr<const ZipEntry> DeflatedEntry(std::string name, const std::function<void(const PartSink&)>& write);

// A part made only as the zip is written, compressed straight into it and
// never held; its sizes follow it in a data descriptor. `write` runs then,
// each time the package is written, so what it reads must live as long as
// the entry is written. Data() makes and keeps the bytes instead.
std::shared_ptr<const ZipEntry> StreamedEntry(std::string name, std::function<void(const PartSink&)> write);

// Writes the entries as a zip, in order. Entries with raw bytes are copied
// without recompressing; the others are deflated. The zip goes into `sink`
// as it is made, so that it is never held whole.
void WriteZip(const std::vector<std::shared_ptr<const ZipEntry>>& entries, const ByteSink& sink);
std::string WriteZip(const std::vector<std::shared_ptr<const ZipEntry>>& entries);

}  // namespace office
