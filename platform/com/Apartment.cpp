#include "platform/com/Apartment.h"

#include "platform/com/objbase.h"

namespace {

struct ThreadApartment {
    unsigned count = 0;
    DWORD model = COINIT_APARTMENTTHREADED;
};

thread_local ThreadApartment apartment;

}  // namespace

bool ComInitializedOnThisThread() { return apartment.count > 0; }

HRESULT WINAPI CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

HRESULT WINAPI CoInitializeEx(LPVOID, DWORD dwCoInit)
{
    const DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (apartment.count > 0 && apartment.model != model) {
        return RPC_E_CHANGED_MODE;
    }
    apartment.model = model;
    ++apartment.count;
    return apartment.count == 1 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize()
{
    if (apartment.count > 0) {
        --apartment.count;
    }
}
