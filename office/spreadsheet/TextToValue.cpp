#include "office/spreadsheet/TextToValue.h"

#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

namespace office::spreadsheet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::string_view, 7> kErrorValues = {"#N/A",  "#DIV/0!", "#VALUE!", "#REF!",
                                                          "#NAME?", "#NUM!",   "#NULL!"};

int64_t DaysFromCivil(int y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<int> MonthByName(std::string_view name)
{
    static constexpr std::array<std::string_view, 12> kShort = {"jan", "feb", "mar", "apr", "may", "jun",
                                                                "jul", "aug", "sep", "oct", "nov", "dec"};
    static constexpr std::array<std::string_view, 12> kLong = {
        "january", "february", "march", "april", "may", "june", "july", "august", "september", "october",
        "november", "december"};
    for (size_t i = 0; i < 12; ++i) {
        if (EqualsNoCase(name, kShort[i]) || EqualsNoCase(name, kLong[i])) {
            return int(i + 1);
        }
    }
    return std::nullopt;
}

std::optional<int> SmallNumber(std::string_view text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

int FullYear(int year, size_t digits)
{
    if (digits <= 2) {
        return year < 30 ? 2000 + year : 1900 + year;
    }
    return year;
}

struct DateResult {
    double serial;
    std::string format;
};

std::optional<double> ValidDate(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || year < 1900 || year > 9999 || day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    return DateSerial(year, month, day);
}

std::optional<DateResult> ParseDate(std::string_view text, int currentYear)
{
    char separator = text.find('/') != std::string_view::npos ? '/' : '-';
    auto parts = Split(text, separator);
    if (parts.size() == 3) {
        // yyyy-mm-dd, m/d/yyyy, m-d-yy, d-mmm-yy
        if (parts[0].size() == 4) {
            auto year = SmallNumber(parts[0], 4);
            auto month = SmallNumber(parts[1], 2);
            auto day = SmallNumber(parts[2], 2);
            if (year && month && day) {
                if (auto serial = ValidDate(*year, *month, *day)) {
                    return DateResult{*serial, "m/d/yyyy"};
                }
            }
            return std::nullopt;
        }
        auto year = SmallNumber(parts[2], 4);
        if (!year || parts[2].size() == 3) {
            return std::nullopt;
        }
        int fullYear = FullYear(*year, parts[2].size());
        auto month = SmallNumber(parts[0], 2);
        auto day = SmallNumber(parts[1], 2);
        if (month && day) {
            if (auto serial = ValidDate(fullYear, *month, *day)) {
                return DateResult{*serial, "m/d/yyyy"};
            }
            return std::nullopt;
        }
        auto dayFirst = SmallNumber(parts[0], 2);
        auto monthName = MonthByName(parts[1]);
        if (dayFirst && monthName) {
            if (auto serial = ValidDate(fullYear, *monthName, *dayFirst)) {
                return DateResult{*serial, "d-mmm-yy"};
            }
        }
        return std::nullopt;
    }
    if (parts.size() != 2) {
        return std::nullopt;
    }
    auto first = SmallNumber(parts[0], 2);
    auto second = SmallNumber(parts[1], 4);
    if (first && second && parts[1].size() <= 2) {
        // m/d in the current year
        if (auto serial = ValidDate(currentYear, *first, *second)) {
            return DateResult{*serial, "d-mmm"};
        }
        return std::nullopt;
    }
    if (auto month = MonthByName(parts[0]); month && second && parts[1].size() != 3) {
        // mmm-yy: the first of that month
        if (auto serial = ValidDate(FullYear(*second, parts[1].size()), *month, 1)) {
            return DateResult{*serial, "mmm-yy"};
        }
        return std::nullopt;
    }
    if (auto month = MonthByName(parts[1]); month && first) {
        if (auto serial = ValidDate(currentYear, *month, *first)) {
            return DateResult{*serial, "d-mmm"};
        }
    }
    return std::nullopt;
}

struct TimeResult {
    double fraction;
    std::string format;
};

std::optional<TimeResult> ParseTime(std::string_view text)
{
    bool twelveHour = false;
    bool afternoon = false;
    if (text.size() > 3 && text[text.size() - 3] == ' ') {
        std::string_view marker = text.substr(text.size() - 2);
        if (EqualsNoCase(marker, "AM") || EqualsNoCase(marker, "PM")) {
            twelveHour = true;
            afternoon = EqualsNoCase(marker, "PM");
            text = text.substr(0, text.size() - 3);
        }
    }
    auto parts = Split(text, ':');
    if (parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    auto hours = SmallNumber(parts[0], 2);
    auto minutes = SmallNumber(parts[1], 2);
    std::optional<int> seconds = parts.size() == 3 ? SmallNumber(parts[2], 2) : std::optional<int>(0);
    if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59 || parts[1].size() != 2 ||
        (parts.size() == 3 && parts[2].size() != 2)) {
        return std::nullopt;
    }
    int hour = *hours;
    if (twelveHour) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (afternoon ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    std::string format = parts.size() == 3 ? "h:mm:ss" : "h:mm";
    if (twelveHour) {
        format += " AM/PM";
    }
    return TimeResult{(hour * 3600.0 + *minutes * 60.0 + *seconds) / 86400.0, format};
}

std::optional<TypedValue> ParseNumber(std::string_view text)
{
    bool negative = false;
    bool parenthesised = false;
    bool currency = false;
    bool percent = false;
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        parenthesised = true;
        text = text.substr(1, text.size() - 2);
    }
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '$') {
        currency = true;
        text.remove_prefix(1);
    }
    if (!parenthesised && !negative && !text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && text.back() == '%') {
        percent = true;
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::string digits;
    size_t i = 0;
    bool grouped = false;
    size_t groupLength = 0;
    size_t leading = 0;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == ','); ++i) {
        if (text[i] == ',') {
            if (leading == 0 || (grouped && groupLength != 3) || (!grouped && leading > 3)) {
                return std::nullopt;
            }
            grouped = true;
            groupLength = 0;
            continue;
        }
        digits += text[i];
        ++groupLength;
        if (!grouped) {
            ++leading;
        }
    }
    if (grouped && groupLength != 3) {
        return std::nullopt;
    }
    bool decimals = false;
    if (i < text.size() && text[i] == '.') {
        digits += '.';
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            digits += text[i];
            decimals = true;
        }
    }
    if (digits.empty() || digits == ".") {
        return std::nullopt;
    }
    bool exponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E') && !grouped && !currency) {
        size_t j = i + 1;
        std::string exponentText = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponentText += text[j++];
        }
        size_t start = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) {
            exponentText += text[j];
        }
        if (j == start) {
            return std::nullopt;
        }
        digits += exponentText;
        exponent = true;
        i = j;
    }
    if (i != text.size() || (percent && currency)) {
        return std::nullopt;
    }
    double value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
        return std::nullopt;
    }
    if (percent) {
        value /= 100;
    }
    if (negative && parenthesised) {
        return std::nullopt;
    }
    if (negative || parenthesised) {
        value = -value;
    }
    TypedValue typed;
    typed.kind = TypedValue::Kind::Number;
    typed.number = value;
    if (currency) {
        typed.format = decimals ? "$#,##0.00_);($#,##0.00)" : "$#,##0_);($#,##0)";
    } else if (percent) {
        typed.format = decimals ? "0.00%" : "0%";
    } else if (exponent) {
        typed.format = "0.00E+00";
    } else if (grouped) {
        typed.format = decimals ? "#,##0.00" : "#,##0";
    }
    return typed;
}

}  // namespace

double DateSerial(int year, int month, int day)
{
    int64_t days = DaysFromCivil(year, unsigned(month), unsigned(day)) - DaysFromCivil(1899, 12, 30);
    if (days < 61) {
        days -= 1;  // before the phantom 29 February 1900
    }
    return days < 1 ? 0 : double(days);
}

TypedValue TextToValue(std::string_view text, int currentYear)
{
    TypedValue typed;
    if (text.empty()) {
        return typed;
    }
    if (text.front() == '\'') {
        typed.kind = TypedValue::Kind::Text;
        typed.text = std::string(text.substr(1));
        typed.quotePrefix = true;
        return typed;
    }
    if (text.front() == '=' && text.size() > 1) {
        typed.kind = TypedValue::Kind::Formula;
        typed.text = std::string(text.substr(1));
        return typed;
    }
    typed.kind = TypedValue::Kind::Text;
    typed.text = std::string(text);
    if (std::isspace(static_cast<unsigned char>(text.front())) || std::isspace(static_cast<unsigned char>(text.back()))) {
        return typed;
    }
    if (EqualsNoCase(text, "TRUE") || EqualsNoCase(text, "FALSE")) {
        typed.kind = TypedValue::Kind::Boolean;
        typed.number = EqualsNoCase(text, "TRUE") ? 1 : 0;
        typed.text.clear();
        return typed;
    }
    for (auto error : kErrorValues) {
        if (EqualsNoCase(text, error)) {
            typed.kind = TypedValue::Kind::Error;
            typed.text = std::string(error);
            return typed;
        }
    }
    if (auto number = ParseNumber(text)) {
        return *number;
    }
    if (auto time = ParseTime(text)) {
        typed.kind = TypedValue::Kind::Number;
        typed.number = time->fraction;
        typed.format = time->format;
        typed.text.clear();
        return typed;
    }
    size_t space = text.find(' ');
    std::string_view datePart = text.substr(0, space);
    if (auto date = ParseDate(datePart, currentYear)) {
        if (space == std::string_view::npos) {
            typed.kind = TypedValue::Kind::Number;
            typed.number = date->serial;
            typed.format = date->format;
            typed.text.clear();
            return typed;
        }
        if (auto time = ParseTime(text.substr(space + 1))) {
            typed.kind = TypedValue::Kind::Number;
            typed.number = date->serial + time->fraction;
            typed.format = "m/d/yyyy h:mm";
            typed.text.clear();
            return typed;
        }
    }
    return typed;
}

}  // namespace office::spreadsheet
