#include "office/spreadsheet/DefinedNames.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

#include "office/dispatch/AutomationError.h"

namespace office::spreadsheet {
namespace {

constexpr std::string_view kBuiltInPrefix = "_xlnm.";

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// R, C, R1, C1, R1C1, RC and the like read as references in R1C1 notation.
bool LooksLikeR1C1(std::string_view name)
{
    size_t i = 0;
    auto digits = [&] {
        while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) {
            ++i;
        }
    };
    if (i < name.size() && (name[i] == 'R' || name[i] == 'r')) {
        ++i;
        digits();
    }
    if (i < name.size() && (name[i] == 'C' || name[i] == 'c')) {
        ++i;
        digits();
    }
    return i == name.size() && i > 0;
}

}  // namespace

std::string_view BareName(std::string_view stored)
{
    if (stored.size() > kBuiltInPrefix.size() && EqualNoCase(stored.substr(0, kBuiltInPrefix.size()), kBuiltInPrefix)) {
        return stored.substr(kBuiltInPrefix.size());
    }
    return stored;
}

bool IsValidName(std::string_view name)
{
    if (name.empty() || name.size() > 255) {
        return false;
    }
    unsigned char first = static_cast<unsigned char>(name[0]);
    if (!(std::isalpha(first) || first == '_' || first == '\\' || first >= 0x80)) {
        return false;
    }
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == '_' || c == '\\' || c == '.' || c == '?' || u >= 0x80)) {
            return false;
        }
    }
    return !ParseCell(name) && !LooksLikeR1C1(name);
}

std::string QuoteSheetName(std::string_view sheet)
{
    bool plain = !sheet.empty() && !std::isdigit(static_cast<unsigned char>(sheet[0])) && !ParseCell(sheet) &&
                 !LooksLikeR1C1(sheet);
    for (char c : sheet) {
        unsigned char u = static_cast<unsigned char>(c);
        plain = plain && (std::isalnum(u) || c == '_' || c == '.' || u >= 0x80);
    }
    if (plain) {
        return std::string(sheet);
    }
    std::string quoted = "'";
    for (char c : sheet) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return quoted + "'";
}

std::string DisplayName(const Workbook& workbook, const DefinedName& name)
{
    std::string text(BareName(name.name));
    if (name.localSheet >= 0 && size_t(name.localSheet) < workbook.sheets.size()) {
        return QuoteSheetName(workbook.sheets[size_t(name.localSheet)]->name) + "!" + text;
    }
    return text;
}

const std::vector<size_t>& NamesInOrder(const Workbook& workbook)
{
    return workbook.nameIndex.Order(workbook.names);
}

std::optional<size_t> FindStoredName(const Workbook& workbook, std::string_view stored, int32_t localSheet)
{
    return workbook.nameIndex.FindStored(workbook.names, stored, localSheet);
}

std::optional<size_t> FindName(const Workbook& workbook, std::string_view text)
{
    size_t bang = text.rfind('!');
    if (bang != std::string_view::npos) {
        std::string sheet(text.substr(0, bang));
        if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
            std::string unquoted;
            for (size_t i = 1; i + 1 < sheet.size(); ++i) {
                unquoted += sheet[i];
                if (sheet[i] == '\'' && i + 2 < sheet.size() && sheet[i + 1] == '\'') {
                    ++i;
                }
            }
            sheet = unquoted;
        }
        int32_t index = workbook.SheetIndex(sheet);
        if (index < 0) {
            return std::nullopt;
        }
        return workbook.nameIndex.FindBare(workbook.names, text.substr(bang + 1), index);
    }
    for (int32_t scope : {-1, workbook.activeSheet}) {
        if (auto found = workbook.nameIndex.FindBare(workbook.names, text, scope)) {
            return found;
        }
    }
    return std::nullopt;
}

std::optional<NameTarget> TargetOf(const Workbook& workbook, const DefinedName& name)
{
    auto ref = name.formula.SoleReference();
    if (!ref || ref->invalid || ref->sheet < 0 || size_t(ref->sheet) >= workbook.sheets.size() ||
        !workbook.sheets[size_t(ref->sheet)]->isWorksheet) {
        return std::nullopt;
    }
    CellRect rect;
    switch (ref->kind) {
    case FormulaRef::Kind::Cell:
    case FormulaRef::Kind::Area:
        rect = CellRect{std::min(ref->row1, ref->row2), std::min(ref->col1, ref->col2), std::max(ref->row1, ref->row2),
                        std::max(ref->col1, ref->col2)};
        break;
    case FormulaRef::Kind::Rows:
        rect = CellRect{std::min(ref->row1, ref->row2), 1, std::max(ref->row1, ref->row2), kMaxColumn};
        break;
    case FormulaRef::Kind::Columns:
        rect = CellRect{1, std::min(ref->col1, ref->col2), kMaxRow, std::max(ref->col1, ref->col2)};
        break;
    }
    return NameTarget{ref->sheet, rect};
}

std::string AbsoluteReference(const Workbook& workbook, int32_t sheet, const CellRect& rect)
{
    std::string text = QuoteSheetName(workbook.sheets[size_t(sheet)]->name) + "!";
    if (rect.left == 1 && rect.right == kMaxColumn) {
        return text + "$" + std::to_string(rect.top) + ":$" + std::to_string(rect.bottom);
    }
    if (rect.top == 1 && rect.bottom == kMaxRow) {
        return text + "$" + ColumnLetters(rect.left) + ":$" + ColumnLetters(rect.right);
    }
    text += "$" + ColumnLetters(rect.left) + "$" + std::to_string(rect.top);
    if (rect.Rows() > 1 || rect.Columns() > 1) {
        text += ":$" + ColumnLetters(rect.right) + "$" + std::to_string(rect.bottom);
    }
    return text;
}

void DefineName(Workbook& workbook, std::string_view text, int32_t sheet, const CellRect& rect)
{
    if (!IsValidName(text)) {
        throw AutomationError("'" + std::string(text) +
                              "' is not a valid name: names start with a letter or underscore, hold no spaces and "
                              "cannot look like a cell reference");
    }
    DefinedName name;
    name.name = std::string(text);
    name.formula = Formula::Parse(AbsoluteReference(workbook, sheet, rect), kSheetUnknown, workbook.Resolver());
    if (auto existing = FindStoredName(workbook, text, -1)) {
        workbook.names[*existing].formula = std::move(name.formula);
        workbook.nameIndex.Redefined(workbook.names, *existing);
    } else {
        workbook.names.push_back(std::move(name));
        workbook.nameIndex.Appended(workbook.names);
    }
    workbook.NameReferencesChanged();
}

}  // namespace office::spreadsheet
