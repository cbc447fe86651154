// The Windows API subset the program calls, under the names and values of the
// Windows headers. The program includes only this header.
#pragma once

#include "platform/win32/wintypes.h"
#include "platform/win32/winbase.h"
#include "platform/win32/winnls.h"
#include "platform/win32/winuser.h"
