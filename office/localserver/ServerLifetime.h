// The local server's lock count: every live automation object and every
// IClassFactory::LockServer lock. When it falls back to zero the thread that
// runs the server's message loop is told to end it.
#pragma once

#include <windows.h>

namespace server_lifetime {

// Posted to the server's thread when the last lock is gone.
constexpr UINT kLastLockGone = WM_APP + 1;

// Records the calling thread as the one that runs the message loop.
void Start();
void Lock();
void Unlock();
LONG Locks();

}  // namespace server_lifetime
