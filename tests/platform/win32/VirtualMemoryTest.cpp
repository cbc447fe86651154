#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include <windows.h>

namespace {

TEST(VirtualMemory, ARegionIsZeroedWritableAndReleasedWhole) {
    const size_t size = 64 * 1024 + 1;
    auto* region = static_cast<unsigned char*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, region);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(region) % 4096);
    for (size_t at = 0; at < size; at += 4096) {
        EXPECT_EQ(0, region[at]);
    }
    EXPECT_EQ(0, region[size - 1]);
    std::memset(region, 0xA5, size);

    // Released whole or not at all: a size with MEM_RELEASE is refused and
    // the region stays as it was.
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(VirtualFree(region, size, MEM_RELEASE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0xA5, region[size - 1]);
    EXPECT_TRUE(VirtualFree(region, 0, MEM_RELEASE));
}

TEST(VirtualMemory, RegionsAreIndependent) {
    void* first = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    void* second = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(VirtualFree(first, 0, MEM_RELEASE));
    static_cast<char*>(second)[4095] = 1;
    EXPECT_TRUE(VirtualFree(second, 0, MEM_RELEASE));
}

}  // namespace
