#include "office/spreadsheet/NumberFormats.h"

#include <array>
#include <utility>

namespace office::spreadsheet {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 28> kBuiltIn = {{
    {0, "General"},
    {1, "0"},
    {2, "0.00"},
    {3, "#,##0"},
    {4, "#,##0.00"},
    {9, "0%"},
    {10, "0.00%"},
    {11, "0.00E+00"},
    {12, "# ?/?"},
    {13, "# ?\?/?\?"},
    {14, "m/d/yyyy"},
    {15, "d-mmm-yy"},
    {16, "d-mmm"},
    {17, "mmm-yy"},
    {18, "h:mm AM/PM"},
    {19, "h:mm:ss AM/PM"},
    {20, "h:mm"},
    {21, "h:mm:ss"},
    {22, "m/d/yyyy h:mm"},
    {37, "#,##0_);(#,##0)"},
    {38, "#,##0_);[Red](#,##0)"},
    {39, "#,##0.00_);(#,##0.00)"},
    {40, "#,##0.00_);[Red](#,##0.00)"},
    {45, "mm:ss"},
    {46, "[h]:mm:ss"},
    {47, "mm:ss.0"},
    {48, "##0.0E+0"},
    {49, "@"},
}};

}  // namespace

std::optional<std::string_view> BuiltInFormatCode(int id)
{
    for (const auto& [builtInId, code] : kBuiltIn) {
        if (builtInId == id) {
            return code;
        }
    }
    return std::nullopt;
}

std::optional<int> BuiltInFormatId(std::string_view code)
{
    for (const auto& [id, builtInCode] : kBuiltIn) {
        if (builtInCode == code) {
            return id;
        }
    }
    return std::nullopt;
}

bool IsDateFormat(std::string_view code)
{
    for (size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        switch (c) {
        case '"': {
            size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
            break;
        }
        case '\\':
        case '_':
        case '*':
            ++i;  // the next character is literal or padding
            break;
        case '[': {
            size_t end = code.find(']', i + 1);
            std::string_view tag = code.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
            if (!tag.empty() && (tag[0] == 'h' || tag[0] == 'H' || tag[0] == 'm' || tag[0] == 'M' || tag[0] == 's' ||
                                 tag[0] == 'S') &&
                tag.find_first_not_of(tag[0]) == std::string_view::npos) {
                return true;  // elapsed time: [h], [mm], [ss]
            }
            i = end == std::string_view::npos ? code.size() : end;
            break;
        }
        case 'd': case 'D': case 'm': case 'M': case 'y': case 'Y':
        case 'h': case 'H': case 's': case 'S':
            return true;
        default:
            break;
        }
    }
    return false;
}

}  // namespace office::spreadsheet
