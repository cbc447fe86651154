// Regions of whole pages from the system, as VirtualAlloc hands them out.
#include <sys/mman.h>

#include <map>
#include <mutex>
#include <new>

#include "platform/win32/windows.h"

namespace {

// munmap needs the size that VirtualFree is not given.
std::mutex regionsLock;
std::map<void*, size_t> regions;

}  // namespace

LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, size_t dwSize, DWORD flAllocationType, DWORD flProtect) {
    if (lpAddress != nullptr || dwSize == 0 || flAllocationType != (MEM_RESERVE | MEM_COMMIT) ||
        flProtect != PAGE_READWRITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* region = mmap(nullptr, dwSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (region == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        std::lock_guard<std::mutex> hold(regionsLock);
        regions.emplace(region, dwSize);
    } catch (const std::bad_alloc&) {
        munmap(region, dwSize);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return region;
}

BOOL WINAPI VirtualFree(LPVOID lpAddress, size_t dwSize, DWORD dwFreeType) {
    size_t size = 0;
    {
        std::lock_guard<std::mutex> hold(regionsLock);
        auto found = regions.find(lpAddress);
        if (found == regions.end() || dwSize != 0 || dwFreeType != MEM_RELEASE) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        size = found->second;
        regions.erase(found);
    }
    munmap(lpAddress, size);
    return TRUE;
}
