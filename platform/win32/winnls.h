// Code-page conversion. The ANSI code page is UTF-8 (65001), or Windows-1252
// when the environment sets TOLVANE_ACP=1252; it is read once per process.
#pragma once

#include "platform/win32/wintypes.h"

#define CP_ACP 0
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

typedef const CHAR* LPCCH;
typedef const WCHAR* LPCWCH;
typedef WCHAR* LPWCH;
typedef CHAR* LPCH;

UINT WINAPI GetACP();

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                               LPBOOL lpUsedDefaultChar);
