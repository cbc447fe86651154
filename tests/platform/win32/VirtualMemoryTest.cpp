#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

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

// Small regions share spans of address space: whatever order they are
// released in, none overlaps another and none comes back with old bytes.
TEST(VirtualMemory, ManyRegionsStayApartAndStartZeroedWhateverWasReleasedBefore) {
    const size_t size = 64 * 1024;
    auto allocate = [&] {
        return static_cast<unsigned char*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    };
    auto isFilledWith = [&](const unsigned char* region, unsigned char value) {
        for (size_t at = 0; at < size; ++at) {
            if (region[at] != value) return false;
        }
        return true;
    };
    std::vector<unsigned char*> regions;
    for (int i = 0; i < 100; ++i) {
        regions.push_back(allocate());
        ASSERT_NE(nullptr, regions.back());
        ASSERT_TRUE(isFilledWith(regions.back(), 0));
        std::memset(regions.back(), i + 1, size);
    }
    for (size_t i = 0; i < regions.size(); i += 2) EXPECT_TRUE(VirtualFree(regions[i], 0, MEM_RELEASE));
    for (size_t i = 0; i < regions.size(); i += 2) {
        regions[i] = allocate();
        ASSERT_NE(nullptr, regions[i]);
        EXPECT_TRUE(isFilledWith(regions[i], 0));
        std::memset(regions[i], 0xEE, size);
    }
    for (size_t i = 1; i < regions.size(); i += 2) EXPECT_TRUE(isFilledWith(regions[i], static_cast<unsigned char>(i + 1)));
    for (unsigned char* region : regions) EXPECT_TRUE(VirtualFree(region, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(regions.front(), 0, MEM_RELEASE));
}

TEST(VirtualMemory, OnlyTheStartOfALiveRegionReleasesIt) {
    const size_t large = 8u << 20;
    auto* region = static_cast<char*>(VirtualAlloc(nullptr, large, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    auto* small = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, region);
    ASSERT_NE(nullptr, small);
    region[large - 1] = 1;
    EXPECT_FALSE(VirtualFree(region + 4096, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(small + 4096, 0, MEM_RELEASE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(VirtualFree(region, 0, MEM_RELEASE));
    small[8191] = 1;
    EXPECT_TRUE(VirtualFree(small, 0, MEM_RELEASE));
}

}  // namespace
