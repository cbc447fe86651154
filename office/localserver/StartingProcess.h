// The process that started this one, to wait on: a handle that is signalled
// when it ends, or null when it cannot be watched (already gone, or not ours
// to open).
//
// A program may end without releasing the objects it holds: tolvane.exe's
// Cancel ends the process at once. Windows collects such references after a
// few minutes; Wine never does, and there the asking program starts the
// server itself, so a server that ends with the process that started it never
// outlives its only client. On Windows that process is the system's COM
// launcher, which a user cannot open, so nothing changes there.
#pragma once

#include <windows.h>

HANDLE OpenStartingProcess();
