// Kernel services: last error, threads, process end, local time, modules.
#pragma once

#include "platform/win32/wintypes.h"

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

#define INFINITE 0xFFFFFFFFu

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

// The thread runs detached; its handle only identifies it.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, size_t dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId);
BOOL WINAPI CloseHandle(HANDLE hObject);
DWORD WINAPI GetCurrentThreadId();
void WINAPI Sleep(DWORD dwMilliseconds);

// Flushes standard output and error, then ends the process at once: no static
// destructor runs while another thread may still use what it would free.
[[noreturn]] void WINAPI ExitProcess(UINT uExitCode);

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);

// NULL names the program itself, whose resources the platform start-up registered.
