#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <ctime>

#include "platform/win32/windows.h"

namespace {

std::atomic<DWORD> seenThreadId{0};

DWORD WINAPI RememberThread(LPVOID parameter) {
    seenThreadId = GetCurrentThreadId();
    static_cast<std::atomic<bool>*>(parameter)->store(true);
    return 0;
}

TEST(Kernel, CreateThreadRunsTheProcedureOnANewThread) {
    std::atomic<bool> ran{false};
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, RememberThread, &ran, 0, &id);
    ASSERT_NE(nullptr, thread);
    for (int i = 0; i < 500 && !ran; ++i) {
        Sleep(2);
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(id, seenThreadId.load());
    EXPECT_NE(GetCurrentThreadId(), id);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Kernel, GetLocalTimeReadsTheLocalClock) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    EXPECT_EQ(local.tm_year + 1900, now.wYear);
    EXPECT_EQ(local.tm_mon + 1, now.wMonth);
    EXPECT_EQ(local.tm_mday, now.wDay);
    EXPECT_LT(now.wMilliseconds, 1000);
}

TEST(KernelDeathTest, ExitProcessFlushesBufferedOutputAndEndsWithTheCode) {
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::fputs("still buffered", stderr);
            ExitProcess(7);
        },
        testing::ExitedWithCode(7), "still buffered");
}

}  // namespace
