// Regions of whole pages from the system, as VirtualAlloc hands them out.
// Small regions are cut from larger spans of address space, and a span goes
// back to the system when its last region is released: every unmapping
// interrupts each processor the process ran on, which in a virtual machine
// costs about a quarter of a millisecond, and a data file's tree releases
// dozens of regions at once. Released pages of a span still in use stay
// until the span goes; they are never handed out again, so every region
// starts zeroed.
#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <new>

#include "platform/win32/windows.h"

namespace {

// Regions above a quarter of a span get a span of their own.
constexpr size_t kSpanSize = size_t{2} << 20;

struct Span {
    size_t size = 0;
    size_t used = 0;  // bytes cut from the start
    size_t live = 0;  // regions not yet released
};

struct Region {
    size_t size;
    char* span;
};

std::mutex lock;
std::map<char*, Span> spans;
std::map<void*, Region> regions;
char* open = nullptr;  // the span new small regions are cut from

size_t PageSize() {
    static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

void Unmap(std::map<char*, Span>::iterator span) {
    if (span->first == open) open = nullptr;
    munmap(span->first, span->second.size);
    spans.erase(span);
}

// Null when the system has no room.
char* MapSpan(size_t size, bool populate) {
    void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | (populate ? MAP_POPULATE : 0), -1, 0);
    if (base == MAP_FAILED) return nullptr;
    // Pages come as regions are cut, not a huge page at the first touch.
    if (!populate) madvise(base, size, MADV_NOHUGEPAGE);
    return static_cast<char*>(base);
}

// The span the region is cut from; spans.end() when the system has no room.
std::map<char*, Span>::iterator SpanFor(size_t size) {
    const bool own = size > kSpanSize / 4;
    if (!own && open != nullptr) {
        auto current = spans.find(open);
        if (current->second.size - current->second.used >= size) return current;
    }
    const size_t spanSize = own ? size : kSpanSize;
    char* base = MapSpan(spanSize, own);
    if (base == nullptr) return spans.end();
    auto made = spans.end();
    try {
        made = spans.emplace(base, Span{spanSize, 0, 0}).first;
    } catch (const std::bad_alloc&) {
        munmap(base, spanSize);
        throw;
    }
    if (!own) open = base;
    return made;
}

}  // namespace

LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, size_t dwSize, DWORD flAllocationType, DWORD flProtect) {
    if (lpAddress != nullptr || dwSize == 0 || flAllocationType != (MEM_RESERVE | MEM_COMMIT) ||
        flProtect != PAGE_READWRITE || dwSize > SIZE_MAX - PageSize()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t size = (dwSize + PageSize() - 1) / PageSize() * PageSize();
    std::lock_guard<std::mutex> hold(lock);
    auto span = spans.end();
    try {
        span = SpanFor(size);
        if (span == spans.end()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        char* region = span->first + span->second.used;
        regions.emplace(region, Region{size, span->first});
        span->second.used += size;
        ++span->second.live;
        // Resident at once, as a region with a span of its own is mapped.
        if (span->first == open) madvise(region, size, MADV_POPULATE_WRITE);
        return region;
    } catch (const std::bad_alloc&) {
        if (span != spans.end() && span->second.live == 0) Unmap(span);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL WINAPI VirtualFree(LPVOID lpAddress, size_t dwSize, DWORD dwFreeType) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = regions.find(lpAddress);
    if (found == regions.end() || dwSize != 0 || dwFreeType != MEM_RELEASE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto span = spans.find(found->second.span);
    regions.erase(found);
    if (--span->second.live == 0) Unmap(span);
    return TRUE;
}
