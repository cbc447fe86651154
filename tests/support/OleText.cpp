#include "tests/support/OleText.h"

#include <windows.h>

OleString ToOle(std::u16string_view text) { return OleString(text.begin(), text.end()); }

std::u16string FromOle(const OLECHAR* text, size_t length) { return std::u16string(text, text + length); }

std::u16string FromOle(const OLECHAR* text)
{
    if (text == nullptr) {
        return {};
    }
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return FromOle(text, length);
}

std::string OleToUtf8(const OLECHAR* text, size_t length)
{
    if (length == 0) {
        return {};
    }
    const int units = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, units, result.data(), size, nullptr, nullptr);
    return result;
}

std::string BstrToUtf8(BSTR text) { return text == nullptr ? std::string() : OleToUtf8(text, SysStringLen(text)); }

std::string TextToUtf8(std::u16string_view text)
{
    const OleString ole = ToOle(text);
    return OleToUtf8(ole.data(), ole.size());
}

OleString Utf8ToOle(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int bytes = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0);
    OleString result(static_cast<size_t>(size), OLECHAR(0));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, result.data(), size);
    return result;
}
