#include "office/spreadsheet/Formula.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/RowMap.h"

namespace office::spreadsheet {
namespace {

bool IsWordChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '\\' || c == '$' || c == '?' || (static_cast<unsigned char>(c) >= 0x80);
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One side of a reference: a cell, a column only, or a row only.
struct RefPart {
    enum class Kind { Cell, Column, Row } kind;
    int32_t row = 0, col = 0;
    bool absRow = false, absCol = false;
};

std::optional<RefPart> ParsePart(std::string_view word)
{
    size_t i = 0;
    RefPart part{RefPart::Kind::Cell};
    bool dollarFirst = i < word.size() && word[i] == '$';
    if (dollarFirst) {
        ++i;
    }
    size_t letters = i;
    while (i < word.size() && IsLetter(word[i])) {
        ++i;
    }
    size_t letterCount = i - letters;
    if (letterCount > 0) {
        auto col = ParseColumnLetters(word.substr(letters, letterCount));
        if (!col) {
            return std::nullopt;
        }
        part.col = *col;
        part.absCol = dollarFirst;
        if (i == word.size()) {
            part.kind = RefPart::Kind::Column;
            return part;
        }
        if (word[i] == '$') {
            part.absRow = true;
            ++i;
        }
    } else {
        part.kind = RefPart::Kind::Row;
        part.absRow = dollarFirst;
    }
    if (i >= word.size() || word[i] == '0') {
        return std::nullopt;
    }
    int64_t row = 0;
    for (; i < word.size(); ++i) {
        if (!IsDigit(word[i])) {
            return std::nullopt;
        }
        row = row * 10 + (word[i] - '0');
        if (row > kMaxRow) {
            return std::nullopt;
        }
    }
    part.row = int32_t(row);
    return part;
}

size_t ReadWord(std::string_view text, size_t i)
{
    while (i < text.size() && IsWordChar(text[i])) {
        ++i;
    }
    return i;
}

constexpr std::array<std::string_view, 8> kErrors = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                                     "#NAME?", "#NUM!",   "#N/A",    "#GETTING_DATA"};

// Reads a reference starting at `i` (after any sheet prefix). Returns the end
// position, or npos when the text there is no reference.
size_t ReadReference(std::string_view text, size_t i, FormulaRef& ref)
{
    size_t wordEnd = ReadWord(text, i);
    if (wordEnd == i || (wordEnd < text.size() && (text[wordEnd] == '(' || text[wordEnd] == '!' ||
                                                    text[wordEnd] == '['))) {
        return std::string_view::npos;
    }
    auto first = ParsePart(text.substr(i, wordEnd - i));
    if (!first) {
        return std::string_view::npos;
    }
    std::optional<RefPart> second;
    size_t end = wordEnd;
    if (wordEnd < text.size() && text[wordEnd] == ':') {
        size_t secondEnd = ReadWord(text, wordEnd + 1);
        if (secondEnd < text.size() && (text[secondEnd] == '(' || text[secondEnd] == '!')) {
            secondEnd = wordEnd + 1;
        }
        second = ParsePart(text.substr(wordEnd + 1, secondEnd - wordEnd - 1));
        if (second && second->kind == first->kind) {
            end = secondEnd;
        } else {
            second.reset();
        }
    }
    if (!second && first->kind != RefPart::Kind::Cell) {
        return std::string_view::npos;
    }
    ref.row1 = first->row;
    ref.col1 = first->col;
    ref.absRow1 = first->absRow;
    ref.absCol1 = first->absCol;
    if (!second) {
        ref.kind = FormulaRef::Kind::Cell;
        ref.row2 = ref.row1;
        ref.col2 = ref.col1;
        return end;
    }
    ref.row2 = second->row;
    ref.col2 = second->col;
    ref.absRow2 = second->absRow;
    ref.absCol2 = second->absCol;
    ref.kind = first->kind == RefPart::Kind::Cell     ? FormulaRef::Kind::Area
               : first->kind == RefPart::Kind::Row    ? FormulaRef::Kind::Rows
                                                      : FormulaRef::Kind::Columns;
    return end;
}

std::string RefBody(const FormulaRef& ref)
{
    if (ref.invalid) {
        return "#REF!";
    }
    auto cell = [](int32_t row, int32_t col, bool absRow, bool absCol) {
        std::string text = absCol ? "$" : "";
        text += ColumnLetters(col);
        text += absRow ? "$" : "";
        text += std::to_string(row);
        return text;
    };
    auto rowText = [](int32_t row, bool abs) { return (abs ? "$" : "") + std::to_string(row); };
    auto colText = [](int32_t col, bool abs) { return (abs ? "$" : "") + ColumnLetters(col); };
    switch (ref.kind) {
    case FormulaRef::Kind::Cell:
        return cell(ref.row1, ref.col1, ref.absRow1, ref.absCol1);
    case FormulaRef::Kind::Area:
        return cell(ref.row1, ref.col1, ref.absRow1, ref.absCol1) + ":" + cell(ref.row2, ref.col2, ref.absRow2, ref.absCol2);
    case FormulaRef::Kind::Rows:
        return rowText(ref.row1, ref.absRow1) + ":" + rowText(ref.row2, ref.absRow2);
    case FormulaRef::Kind::Columns:
        return colText(ref.col1, ref.absCol1) + ":" + colText(ref.col2, ref.absCol2);
    }
    return {};
}

}  // namespace

Formula Formula::Parse(std::string_view text, int32_t hostSheet, const SheetResolver& resolve)
{
    Formula formula;
    std::string literal;
    bool afterExternal = false;
    size_t i = 0;
    auto emit = [&](FormulaRef ref) {
        formula.literals.push_back(std::move(literal));
        literal.clear();
        formula.refs.push_back(std::move(ref));
    };
    while (i < text.size()) {
        char c = text[i];
        if (c == '"') {
            size_t j = i + 1;
            while (j < text.size()) {
                if (text[j] == '"') {
                    if (j + 1 < text.size() && text[j + 1] == '"') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, text.size());
            literal.append(text.substr(i, j - i));
            i = j;
            continue;
        }
        if (c == '[') {
            // External workbook index or structured reference: kept as written.
            int depth = 0;
            size_t j = i;
            for (; j < text.size(); ++j) {
                if (text[j] == '[') {
                    ++depth;
                } else if (text[j] == ']' && --depth == 0) {
                    break;
                }
            }
            j = std::min(j + 1, text.size());
            literal.append(text.substr(i, j - i));
            afterExternal = true;
            i = j;
            continue;
        }
        if (c == '#') {
            bool matched = false;
            for (auto error : kErrors) {
                if (text.size() - i >= error.size() &&
                    std::equal(error.begin(), error.end(), text.begin() + long(i),
                               [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); })) {
                    literal.append(text.substr(i, error.size()));
                    i += error.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                literal += c;
                ++i;
            }
            continue;
        }
        std::string prefix;
        std::string sheetName;
        size_t refStart = i;
        bool external = afterExternal;
        if (c == '\'') {
            size_t j = i + 1;
            while (j < text.size()) {
                if (text[j] == '\'') {
                    if (j + 1 < text.size() && text[j + 1] == '\'') {
                        sheetName += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                sheetName += text[j];
                ++j;
            }
            if (j + 1 < text.size() && text[j + 1] == '!') {
                prefix = std::string(text.substr(i, j + 2 - i));
                refStart = j + 2;
                external = external || sheetName.find('[') != std::string::npos ||
                           sheetName.find(':') != std::string::npos;
            } else {
                size_t end = std::min(j + 1, text.size());
                literal.append(text.substr(i, end - i));
                i = end;
                afterExternal = false;
                continue;
            }
        } else if (IsWordChar(c)) {
            size_t wordEnd = ReadWord(text, i);
            if (wordEnd < text.size() && text[wordEnd] == '!') {
                sheetName = std::string(text.substr(i, wordEnd - i));
                prefix = sheetName + "!";
                refStart = wordEnd + 1;
                bool threeD = !literal.empty() && literal.back() == ':';
                external = external || threeD;
            }
        } else {
            literal += c;
            ++i;
            afterExternal = false;
            continue;
        }
        FormulaRef ref;
        size_t end = ReadReference(text, refStart, ref);
        if (end == std::string_view::npos) {
            // Not a reference: copy the prefix and the word as they are.
            size_t wordEnd = std::max(ReadWord(text, refStart), refStart);
            if (wordEnd == refStart && prefix.empty()) {
                wordEnd = refStart + 1;
            }
            literal.append(text.substr(i, wordEnd - i));
            i = wordEnd;
            afterExternal = false;
            continue;
        }
        ref.prefix = std::move(prefix);
        if (external) {
            ref.sheet = kSheetUnknown;
        } else if (ref.prefix.empty()) {
            ref.sheet = hostSheet;
        } else {
            ref.sheet = resolve ? resolve(sheetName) : kSheetUnknown;
        }
        emit(std::move(ref));
        i = end;
        afterExternal = false;
    }
    formula.literals.push_back(std::move(literal));
    return formula;
}

std::string Formula::Text() const
{
    std::string text = literals[0];
    for (size_t k = 0; k < refs.size(); ++k) {
        text += refs[k].prefix;
        text += RefBody(refs[k]);
        text += literals[k + 1];
    }
    return text;
}

namespace {

// `moved(row)` is where a row of `sheet` goes; what is pushed off the sheet
// becomes #REF! for a cell and stops at the last row for a range.
template <typename Moved>
bool MoveRowRefs(std::vector<FormulaRef>& refs, int32_t sheet, const Moved& moved)
{
    bool changed = false;
    for (auto& ref : refs) {
        if (ref.sheet != sheet || ref.invalid || ref.kind == FormulaRef::Kind::Columns) {
            continue;
        }
        if (ref.kind == FormulaRef::Kind::Cell) {
            int64_t row = moved(ref.row1);
            if (row != ref.row1) {
                if (row > kMaxRow) {
                    ref.invalid = true;
                } else {
                    ref.row1 = ref.row2 = int32_t(row);
                }
                changed = true;
            }
            continue;
        }
        int32_t row1 = int32_t(std::min<int64_t>(moved(ref.row1), kMaxRow));
        int32_t row2 = int32_t(std::min<int64_t>(moved(ref.row2), kMaxRow));
        changed = changed || row1 != ref.row1 || row2 != ref.row2;
        ref.row1 = row1;
        ref.row2 = row2;
    }
    return changed;
}

}  // namespace

bool Formula::InsertRows(int32_t sheet, int32_t at, int32_t count)
{
    return MoveRowRefs(refs, sheet, [at, count](int32_t row) { return row >= at ? int64_t(row) + count : row; });
}

bool Formula::MoveRows(int32_t sheet, const RowMap& rows)
{
    return MoveRowRefs(refs, sheet, rows);
}

void Formula::Rebase(int32_t rows, int32_t columns)
{
    for (auto& ref : refs) {
        if (ref.invalid || ref.sheet == kSheetUnknown) {
            continue;
        }
        auto moveRow = [&](int32_t& row, bool abs) {
            if (!abs && ref.kind != FormulaRef::Kind::Columns) {
                row += rows;
                if (row < 1 || row > kMaxRow) {
                    ref.invalid = true;
                }
            }
        };
        auto moveCol = [&](int32_t& col, bool abs) {
            if (!abs && ref.kind != FormulaRef::Kind::Rows) {
                col += columns;
                if (col < 1 || col > kMaxColumn) {
                    ref.invalid = true;
                }
            }
        };
        moveRow(ref.row1, ref.absRow1);
        moveCol(ref.col1, ref.absCol1);
        if (ref.kind == FormulaRef::Kind::Cell) {
            ref.row2 = ref.row1;
            ref.col2 = ref.col1;
        } else {
            moveRow(ref.row2, ref.absRow2);
            moveCol(ref.col2, ref.absCol2);
        }
    }
}

void Formula::Rehost(int32_t from, int32_t to)
{
    for (auto& ref : refs) {
        if (ref.prefix.empty() && ref.sheet == from) {
            ref.sheet = to;
        }
    }
}

std::optional<FormulaRef> Formula::SoleReference() const
{
    auto blank = [](const std::string& s) { return s.find_first_not_of(" ") == std::string::npos; };
    if (refs.size() != 1 || !blank(literals[0]) || !blank(literals[1])) {
        return std::nullopt;
    }
    return refs[0];
}

}  // namespace office::spreadsheet
