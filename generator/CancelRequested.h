// The one flag through which the user-interface thread asks the worker to
// stop. One byte, written only by the user-interface thread (0 -> 1, once),
// read by the generators without a lock; atomic so that the unlocked read is
// well defined while staying a single byte.
#pragma once

#include <atomic>

#include <windows.h>

extern std::atomic<BYTE> CancelRequested;
