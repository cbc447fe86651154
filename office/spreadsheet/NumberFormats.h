// The built-in number formats: the codes the application reports for the
// numFmtId values that need no <numFmt> entry in styles.xml.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace office::spreadsheet {

inline constexpr int kGeneralFormatId = 0;
inline constexpr int kTextFormatId = 49;
inline constexpr int kFirstCustomFormatId = 164;

std::optional<std::string_view> BuiltInFormatCode(int id);
// The built-in id whose code is exactly `code`.
std::optional<int> BuiltInFormatId(std::string_view code);

// A format that shows a number as a date or time: it has day, month, year,
// hour or second parts outside quoted text, escapes and colour or locale tags.
bool IsDateFormat(std::string_view code);

}  // namespace office::spreadsheet
