#include <cstring>
#include <vector>

#include "automation/AutomationSession.h"
#include <windows.h>

void AutomationSession::MakeTextVariant(VARIANT* variant, const char* text)
{
    if (text == nullptr) {
        text = "";
    }
    const int n = static_cast<int>(std::strlen(text)) + 1;
    const int m = MultiByteToWideChar(CP_UTF8, 0, text, n, nullptr, 0);
    // 2m + 1 bytes, as wide characters rounded up.
    std::vector<WCHAR> buffer((2 * static_cast<size_t>(m) + 1 + sizeof(WCHAR) - 1) / sizeof(WCHAR), 0);
    MultiByteToWideChar(CP_UTF8, 0, text, n, buffer.data(), m);
    variant->vt = VT_BSTR;
    variant->bstrVal = SysAllocString(buffer.data());
}
