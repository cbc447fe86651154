#include "datafile/PrefaultPages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

void PrefaultPages(void* start, size_t size)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t address = reinterpret_cast<uintptr_t>(start);
    // Only whole pages inside the range: the pages at its ends may hold other
    // allocations, and advice covers whole pages.
    uintptr_t first = (address + page - 1) / page * page;
    uintptr_t end = (address + size) / page * page;
    // Older kernels refuse the advice; the pages then fault in as touched.
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)start;
    (void)size;
#endif
}
