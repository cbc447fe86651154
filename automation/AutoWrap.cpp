#include <cstdarg>
#include <cstdio>
#include <vector>

#include "automation/AutomationSession.h"
#include <windows.h>

namespace {

constexpr int NarrowNameSize = 200;

// The member's name for an error text; a longer name is cut off. Made only
// on failure: every call would otherwise pay for a conversion it rarely needs.
void NarrowName(LPCOLESTR ptName, char (&szName)[NarrowNameSize]) {
    if (WideCharToMultiByte(CP_ACP, 0, ptName, -1, szName, NarrowNameSize, nullptr, nullptr) != 0) return;
    int length = 0;
    while (ptName[length] != 0 && length < NarrowNameSize - 1) {
        ++length;
    }
    int written = 0;
    while (length > 0 && (written = WideCharToMultiByte(CP_ACP, 0, ptName, length, szName, NarrowNameSize - 1,
                                                         nullptr, nullptr)) == 0) {
        --length;
    }
    szName[written] = '\0';
}

}  // namespace

HRESULT AutomationSession::AutoWrap(int autoType, VARIANT* pvResult, IDispatch* pDisp, LPCOLESTR ptName, int cArgs...)
{
    if (pDisp == nullptr) {
        throw COMException("NULL IDispatch passed to AutoWrap()");
    }
    if (ptName == nullptr) {
        ptName = OLESTR("");
    }

    char szName[NarrowNameSize] = {};
    char buffer[NarrowNameSize + 100];
    DISPID dispID = 0;
    LPOLESTR name = const_cast<LPOLESTR>(ptName);
    HRESULT hr = pDisp->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispID);
    if (FAILED(hr)) {
        NarrowName(ptName, szName);
        std::snprintf(buffer, sizeof buffer, "IDispatch::GetIDsOfNames(\"%s\") failed w/err 0x%08lx", szName,
                      static_cast<unsigned long>(static_cast<ULONG>(hr)));
        throw COMException(buffer);
    }

    // Invoke takes positional arguments last-first.
    std::vector<VARIANT> pArgs(static_cast<size_t>(cArgs) + 1);
    va_list marker;
    va_start(marker, cArgs);
    for (int i = 0; i < cArgs; ++i) {
        pArgs[static_cast<size_t>(cArgs - 1 - i)] = va_arg(marker, VARIANT);
    }
    va_end(marker);

    DISPID dispidNamed = DISPID_PROPERTYPUT;
    DISPPARAMS dp = {pArgs.data(), nullptr, static_cast<UINT>(cArgs), 0};
    if ((autoType & DISPATCH_PROPERTYPUT) != 0) {
        dp.cNamedArgs = 1;
        dp.rgdispidNamedArgs = &dispidNamed;
    }

    hr = pDisp->Invoke(dispID, IID_NULL, LOCALE_SYSTEM_DEFAULT, static_cast<WORD>(autoType), &dp, pvResult, nullptr,
                       nullptr);
    if (FAILED(hr)) {
        NarrowName(ptName, szName);
        std::snprintf(buffer, sizeof buffer, "IDispatch::Invoke(\"%s\"=%08lx) failed w/err 0x%08lx", szName,
                      static_cast<unsigned long>(static_cast<ULONG>(dispID)),
                      static_cast<unsigned long>(static_cast<ULONG>(hr)));
        throw COMException(buffer);
    }
    return hr;
}
