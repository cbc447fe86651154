// Last error, threads on std::thread, process end, local time and modules.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <new>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "platform/win32/ResourceModule.h"
#include "platform/win32/windows.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;
std::atomic<UINT_PTR> nextThreadHandle{0x1000};

}  // namespace

DWORD WINAPI GetLastError() {
    return lastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
}

DWORD WINAPI GetCurrentThreadId() {
    if (currentThreadId == 0) {
        currentThreadId = nextThreadId++;
    }
    return currentThreadId;
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, size_t, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (lpStartAddress == nullptr || dwCreationFlags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const DWORD id = nextThreadId++;
    try {
        std::thread([id, lpStartAddress, lpParameter] {
            currentThreadId = id;
            lpStartAddress(lpParameter);
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId != nullptr) {
        *lpThreadId = id;
    }
    return reinterpret_cast<HANDLE>(nextThreadHandle.fetch_add(4));
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (hObject == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

void WINAPI ExitProcess(UINT uExitCode) {
    std::fflush(nullptr);
    _exit(static_cast<int>(uExitCode));
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

