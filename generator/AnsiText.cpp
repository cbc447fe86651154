#include "generator/AnsiText.h"

#include <vector>

#include <windows.h>

std::basic_string<OLECHAR> AnsiToWide(const char* text) {
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 0) return std::basic_string<OLECHAR>();
    std::vector<WCHAR> wide(static_cast<size_t>(size));
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    return std::basic_string<OLECHAR>(wide.data());
}

std::string WideToAnsi(const OLECHAR* text) {
    if (!text) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> narrow(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return std::string(narrow.data());
}

std::string AnsiTextResult(VARIANT result) {
    std::string text = result.vt == VT_BSTR ? WideToAnsi(result.bstrVal) : std::string();
    VariantClear(&result);
    return text;
}
