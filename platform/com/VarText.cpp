// Text forms of numbers and dates under the en-US conventions the servers assume.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/com/OleDate.h"
#include "platform/com/oleauto.h"

namespace {

// The text as ASCII with surrounding blanks removed; false when it has other characters.
bool TrimmedAscii(LPCOLESTR text, std::string* out)
{
    out->clear();
    for (const OLECHAR* c = text; *c != 0; ++c) {
        if (*c > 0x7f) {
            return false;
        }
        out->push_back(char(*c));
    }
    const size_t first = out->find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        out->clear();
        return true;
    }
    *out = out->substr(first, out->find_last_not_of(" \t\r\n") - first + 1);
    return true;
}

BSTR AsciiBstr(const std::string& text)
{
    std::u16string wide(text.begin(), text.end());
    return SysAllocStringLen(wide.data(), UINT(wide.size()));
}

bool ParseNumber(std::string text, double* value)
{
    bool negative = false;
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        negative = true;
        text = text.substr(1, text.size() - 2);
    }
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        unsigned long long hex = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data() + 2, end, hex, 16);
        if (ec != std::errc() || ptr != end || hex > 0xffffffffull) {
            return false;
        }
        // Hexadecimal text is a 16- or 32-bit two's-complement pattern.
        *value = hex > 0xffff ? double(int32_t(uint32_t(hex))) : double(int16_t(uint16_t(hex)));
        return true;
    }
    std::string clean;
    bool digitSeen = false;
    bool inExponent = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digitSeen = true;
            clean.push_back(c);
        } else if (c == ',' && !inExponent && digitSeen && clean.find('.') == std::string::npos) {
            continue;
        } else if ((c == '+' || c == '-') && (i == 0 || inExponent) &&
                   (clean.empty() || clean.back() == 'e')) {
            if (c == '-') {
                clean.push_back('-');
            }
        } else if (c == '.' && !inExponent && clean.find('.') == std::string::npos) {
            clean.push_back('.');
        } else if ((c == 'e' || c == 'E') && digitSeen && !inExponent) {
            inExponent = true;
            clean.push_back('e');
        } else {
            return false;
        }
    }
    if (!digitSeen || (inExponent && !(clean.back() >= '0' && clean.back() <= '9'))) {
        return false;
    }
    double parsed = 0;
    const char* end = clean.data() + clean.size();
    const auto [ptr, ec] = std::from_chars(clean.data(), end, parsed);
    if (ec != std::errc() || ptr != end || !std::isfinite(parsed)) {
        return false;
    }
    *value = negative ? -parsed : parsed;
    return true;
}

// Reads an unsigned number at `pos`; false when there is none.
bool ReadInt(const std::string& s, size_t* pos, int* value, size_t maxDigits)
{
    size_t digits = 0;
    int v = 0;
    while (*pos < s.size() && s[*pos] >= '0' && s[*pos] <= '9' && digits < maxDigits) {
        v = v * 10 + (s[*pos] - '0');
        ++*pos;
        ++digits;
    }
    *value = v;
    return digits > 0;
}

bool ReadTime(const std::string& s, size_t* pos, OleDateParts* parts)
{
    if (!ReadInt(s, pos, &parts->hour, 2)) {
        return false;
    }
    if (*pos < s.size() && s[*pos] == ':') {
        ++*pos;
        if (!ReadInt(s, pos, &parts->minute, 2)) {
            return false;
        }
        if (*pos < s.size() && s[*pos] == ':') {
            ++*pos;
            if (!ReadInt(s, pos, &parts->second, 2)) {
                return false;
            }
        }
    }
    while (*pos < s.size() && s[*pos] == ' ') {
        ++*pos;
    }
    if (*pos < s.size()) {
        const std::string rest = s.substr(*pos);
        const bool am = rest == "AM" || rest == "am" || rest == "A" || rest == "a";
        const bool pm = rest == "PM" || rest == "pm" || rest == "P" || rest == "p";
        if (!am && !pm) {
            return false;
        }
        if (parts->hour < 1 || parts->hour > 12) {
            return false;
        }
        parts->hour = parts->hour % 12 + (pm ? 12 : 0);
        *pos = s.size();
    }
    return *pos == s.size();
}

bool ParseDate(const std::string& s, DATE* date)
{
    OleDateParts parts;
    size_t pos = 0;
    int a = 0;
    if (!ReadInt(s, &pos, &a, 4)) {
        return false;
    }
    if (pos < s.size() && s[pos] == ':') {
        pos = 0;
        return ReadTime(s, &pos, &parts) && OleDateFromParts(parts, date);
    }
    if (pos >= s.size() || (s[pos] != '/' && s[pos] != '-')) {
        return false;
    }
    const char separator = s[pos++];
    int b = 0;
    int c = 0;
    const size_t firstLength = pos - 1;
    if (!ReadInt(s, &pos, &b, 2) || pos >= s.size() || s[pos++] != separator) {
        return false;
    }
    const size_t yearStart = pos;
    if (!ReadInt(s, &pos, &c, 4)) {
        return false;
    }
    const size_t yearLength = pos - yearStart;
    if (pos < s.size()) {
        if (s[pos] != ' ' && s[pos] != 'T') {
            return false;
        }
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) {
            ++pos;
        }
        if (!ReadTime(s, &pos, &parts)) {
            return false;
        }
    }
    const auto fullYear = [](int year, size_t length) { return length > 2 ? year : year + (year < 30 ? 2000 : 1900); };
    const auto tryDate = [&](int year, int month, int day) {
        parts.year = year;
        parts.month = month;
        parts.day = day;
        return OleDateFromParts(parts, date);
    };
    if (firstLength == 4) {
        return tryDate(a, b, c);
    }
    // The locale's month/day/year first; where that is no date, Windows reads
    // year/month/day and then day/month/year ("13/1/2024" is 13 January).
    return tryDate(fullYear(c, yearLength), a, b) || (firstLength <= 2 && yearLength <= 2 && tryDate(fullYear(a, firstLength), b, c)) ||
           tryDate(fullYear(c, yearLength), b, a);
}

}  // namespace

HRESULT WINAPI VarR8FromStr(LPCOLESTR strIn, LCID, ULONG, DOUBLE* pdblOut)
{
    if (strIn == nullptr || pdblOut == nullptr) {
        return E_INVALIDARG;
    }
    std::string text;
    double value = 0;
    if (!TrimmedAscii(strIn, &text) || !ParseNumber(text, &value)) {
        return DISP_E_TYPEMISMATCH;
    }
    *pdblOut = value;
    return S_OK;
}

HRESULT WINAPI VarBstrFromR8(DOUBLE dblIn, LCID, ULONG, BSTR* pbstrOut)
{
    if (pbstrOut == nullptr) {
        return E_INVALIDARG;
    }
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, dblIn, std::chars_format::general, 15);
    if (ec != std::errc()) {
        return DISP_E_OVERFLOW;
    }
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    *pbstrOut = AsciiBstr(text);
    return *pbstrOut == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT WINAPI VarDateFromStr(LPCOLESTR strIn, LCID, ULONG, DATE* pdateOut)
{
    if (strIn == nullptr || pdateOut == nullptr) {
        return E_INVALIDARG;
    }
    std::string text;
    if (!TrimmedAscii(strIn, &text) || !ParseDate(text, pdateOut)) {
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT WINAPI VarBstrFromDate(DATE dateIn, LCID, ULONG, BSTR* pbstrOut)
{
    if (pbstrOut == nullptr) {
        return E_INVALIDARG;
    }
    OleDateParts p;
    if (!OleDateToParts(dateIn, &p)) {
        return DISP_E_OVERFLOW;
    }
    char buffer[64];
    const bool hasDate = std::trunc(dateIn) != 0;
    const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
    std::string text;
    if (hasDate || !hasTime) {
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d", p.month, p.day, p.year);
        text = buffer;
    }
    if (hasTime) {
        const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", hour12, p.minute, p.second, p.hour < 12 ? "AM" : "PM");
        text += (text.empty() ? "" : " ") + std::string(buffer);
    }
    *pbstrOut = AsciiBstr(text);
    return *pbstrOut == nullptr ? E_OUTOFMEMORY : S_OK;
}
