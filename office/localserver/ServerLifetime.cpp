#include "office/localserver/ServerLifetime.h"

namespace server_lifetime {
namespace {

DWORD loopThread = 0;
LONG locks = 0;

}  // namespace

void Start() { loopThread = GetCurrentThreadId(); }

void Lock() { InterlockedIncrement(&locks); }

void Unlock()
{
    if (InterlockedDecrement(&locks) == 0) {
        PostThreadMessageW(loopThread, kLastLockGone, 0, 0);
    }
}

LONG Locks() { return InterlockedCompareExchange(&locks, 0, 0); }

}  // namespace server_lifetime
