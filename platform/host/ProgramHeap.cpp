#include "platform/host/ProgramHeap.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kVariable = "GLIBC_TUNABLES";
constexpr const char* kSettings = "glibc.malloc.arena_max=1:glibc.malloc.hugetlb=1";

// A sanitizer's allocator replaces malloc, so the settings would change nothing.
constexpr bool kOwnAllocator =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#else
    false;
#endif

}  // namespace

void UseProgramHeap(char** argv) {
    if (kOwnAllocator) return;
    const char* current = std::getenv(kVariable);
    if (current) {
        if (std::strcmp(current, kSettings) == 0) unsetenv(kVariable);
        return;
    }
    if (setenv(kVariable, kSettings, 1) != 0) return;
    execv("/proc/self/exe", argv);
    unsetenv(kVariable);
}
