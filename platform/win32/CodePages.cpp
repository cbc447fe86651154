// MultiByteToWideChar and WideCharToMultiByte for UTF-8 and Windows-1252, with
// the Windows rules for sizes, terminators, replacement and default characters.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/win32/Cp1252BestFit.h"
#include "platform/win32/windows.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Bytes 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 controls.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

UINT ResolveCodePage(UINT codePage) {
    if (codePage == CP_ACP) {
        return GetACP();
    }
    return codePage;
}

bool IsSupported(UINT codePage) {
    return codePage == CP_UTF8 || codePage == 1252;
}

// Collects output units: counts them all, stores those that fit.
template <typename Unit>
class Output {
public:
    Output(Unit* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {}

    void Put(Unit unit) {
        if (capacity_ > 0 && count_ < capacity_) {
            buffer_[count_] = unit;
        }
        ++count_;
    }
    int Count() const { return count_; }
    bool Overflowed() const { return capacity_ > 0 && count_ > capacity_; }

private:
    Unit* buffer_;
    int capacity_;
    int count_ = 0;
};

// Decodes one UTF-8 sequence at input[pos]. An ill-formed sequence yields the
// replacement character once per maximal valid prefix, as Unicode recommends.
char32_t DecodeUtf8(std::string_view input, size_t& pos, bool& invalid) {
    const auto lead = static_cast<unsigned char>(input[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int needed = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        invalid = true;
        return kReplacement;
    }
    for (int i = 0; i < needed; ++i) {
        if (pos >= input.size()) {
            invalid = true;
            return kReplacement;
        }
        const auto next = static_cast<unsigned char>(input[pos]);
        if (next < low || next > high) {
            invalid = true;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
        ++pos;
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

void PutUtf16(Output<WCHAR>& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out.Put(static_cast<WCHAR>(0xD800 + (c >> 10)));
        out.Put(static_cast<WCHAR>(0xDC00 + (c & 0x3FF)));
    } else {
        out.Put(static_cast<WCHAR>(c));
    }
}

void PutUtf8(Output<CHAR>& out, char32_t c) {
    if (c < 0x80) {
        out.Put(static_cast<CHAR>(c));
    } else if (c < 0x800) {
        out.Put(static_cast<CHAR>(0xC0 | (c >> 6)));
        out.Put(static_cast<CHAR>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.Put(static_cast<CHAR>(0xE0 | (c >> 12)));
        out.Put(static_cast<CHAR>(0x80 | ((c >> 6) & 0x3F)));
        out.Put(static_cast<CHAR>(0x80 | (c & 0x3F)));
    } else {
        out.Put(static_cast<CHAR>(0xF0 | (c >> 18)));
        out.Put(static_cast<CHAR>(0x80 | ((c >> 12) & 0x3F)));
        out.Put(static_cast<CHAR>(0x80 | ((c >> 6) & 0x3F)));
        out.Put(static_cast<CHAR>(0x80 | (c & 0x3F)));
    }
}

// Returns the byte of Windows-1252 for c, or -1 when the code page lacks it.
int EncodeCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            return 0x80 + i;
        }
    }
    return -1;
}

// Reads one code point from UTF-16; a lone surrogate comes back as itself.
char32_t DecodeUtf16(std::u16string_view input, size_t& pos) {
    const char16_t first = input[pos++];
    if (first >= 0xD800 && first <= 0xDBFF && pos < input.size()) {
        const char16_t second = input[pos];
        if (second >= 0xDC00 && second <= 0xDFFF) {
            ++pos;
            return 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (second - 0xDC00);
        }
    }
    return first;
}

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

}  // namespace

UINT WINAPI GetACP() {
    static const UINT acp = [] {
        const char* value = std::getenv("TOLVANE_ACP");
        return value != nullptr && std::strcmp(value, "1252") == 0 ? 1252u : static_cast<UINT>(CP_UTF8);
    }();
    return acp;
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    const UINT codePage = ResolveCodePage(CodePage);
    if (!IsSupported(codePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const DWORD allowed = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : (MB_PRECOMPOSED | MB_ERR_INVALID_CHARS);
    if ((dwFlags & ~allowed) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    const size_t length = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    const std::string_view input(lpMultiByteStr, length);
    Output<WCHAR> out(lpWideCharStr, cchWideChar);
    size_t pos = 0;
    while (pos < input.size()) {
        if (codePage == CP_UTF8) {
            bool invalid = false;
            const char32_t c = DecodeUtf8(input, pos, invalid);
            if (invalid && (dwFlags & MB_ERR_INVALID_CHARS) != 0) {
                return Fail(ERROR_NO_UNICODE_TRANSLATION);
            }
            PutUtf16(out, c);
        } else {
            const auto byte = static_cast<unsigned char>(input[pos++]);
            out.Put(byte >= 0x80 && byte <= 0x9F ? kCp1252High[byte - 0x80] : byte);
        }
    }
    if (out.Overflowed()) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    return out.Count();
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    const UINT codePage = ResolveCodePage(CodePage);
    if (!IsSupported(codePage) || lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && lpMultiByteStr == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (codePage == CP_UTF8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const DWORD allowed = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    if ((dwFlags & ~allowed) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }
    size_t length = static_cast<size_t>(cchWideChar);
    if (cchWideChar == -1) {
        length = std::char_traits<char16_t>::length(lpWideCharStr) + 1;
    }
    const std::u16string_view input(lpWideCharStr, length);
    const CHAR defaultChar = lpDefaultChar != nullptr ? *lpDefaultChar : '?';
    bool usedDefault = false;
    Output<CHAR> out(lpMultiByteStr, cbMultiByte);
    size_t pos = 0;
    while (pos < input.size()) {
        if (codePage == CP_UTF8) {
            const char32_t c = DecodeUtf16(input, pos);
            if (IsSurrogate(c) && (dwFlags & WC_ERR_INVALID_CHARS) != 0) {
                return Fail(ERROR_NO_UNICODE_TRANSLATION);
            }
            PutUtf8(out, IsSurrogate(c) ? kReplacement : c);
        } else {
            // A single-byte code page takes UTF-16 unit by unit: a surrogate pair is two default characters.
            const char32_t c = input[pos++];
            int byte = EncodeCp1252(c);
            if (byte < 0 && (dwFlags & WC_NO_BEST_FIT_CHARS) == 0) {
                byte = Cp1252BestFit(c);
            }
            if (byte < 0) {
                usedDefault = true;
                out.Put(defaultChar);
            } else {
                out.Put(static_cast<CHAR>(byte));
            }
        }
    }
    if (out.Overflowed()) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (lpUsedDefaultChar != nullptr) {
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    }
    return out.Count();
}
