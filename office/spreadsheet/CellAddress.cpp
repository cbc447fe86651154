#include "office/spreadsheet/CellAddress.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace office::spreadsheet {

std::string ColumnLetters(int32_t column)
{
    std::string letters;
    while (column > 0) {
        int32_t rest = (column - 1) % 26;
        letters.insert(letters.begin(), char('A' + rest));
        column = (column - 1) / 26;
    }
    return letters;
}

std::optional<int32_t> ParseColumnLetters(std::string_view letters)
{
    if (letters.empty() || letters.size() > 3) {
        return std::nullopt;
    }
    int32_t column = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
        if (c < 'A' || c > 'Z') {
            return std::nullopt;
        }
        column = column * 26 + (c - 'A' + 1);
    }
    if (column > kMaxColumn) {
        return std::nullopt;
    }
    return column;
}

std::string FormatCell(int32_t row, int32_t column)
{
    return ColumnLetters(column) + std::to_string(row);
}

std::optional<CellAddress> ParseCell(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && text[i] == '$') {
        ++i;
    }
    size_t lettersStart = i;
    while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        ++i;
    }
    auto column = ParseColumnLetters(text.substr(lettersStart, i - lettersStart));
    if (!column) {
        return std::nullopt;
    }
    if (i < text.size() && text[i] == '$') {
        ++i;
    }
    if (i >= text.size() || text[i] == '0') {
        return std::nullopt;
    }
    int64_t row = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        row = row * 10 + (text[i] - '0');
        if (row > kMaxRow) {
            return std::nullopt;
        }
    }
    return CellAddress{int32_t(row), *column};
}

std::optional<CellRect> ParseRect(std::string_view text)
{
    size_t colon = text.find(':');
    auto first = ParseCell(text.substr(0, colon));
    if (!first) {
        return std::nullopt;
    }
    CellAddress second = *first;
    if (colon != std::string_view::npos) {
        auto parsed = ParseCell(text.substr(colon + 1));
        if (!parsed) {
            return std::nullopt;
        }
        second = *parsed;
    }
    return CellRect{std::min(first->row, second.row), std::min(first->column, second.column),
                    std::max(first->row, second.row), std::max(first->column, second.column)};
}

std::string FormatRect(const CellRect& rect)
{
    std::string text = FormatCell(rect.top, rect.left);
    if (rect.bottom != rect.top || rect.right != rect.left) {
        text += ':';
        text += FormatCell(rect.bottom, rect.right);
    }
    return text;
}

std::vector<CellRect> ParseRectList(std::string_view text)
{
    std::vector<CellRect> rects;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            if (auto rect = ParseRect(text.substr(start, end - start))) {
                rects.push_back(*rect);
            }
        }
        start = end + 1;
    }
    return rects;
}

std::string FormatRectList(const std::vector<CellRect>& rects)
{
    std::string text;
    for (const auto& rect : rects) {
        if (!text.empty()) {
            text += ' ';
        }
        text += FormatRect(rect);
    }
    return text;
}

void ShiftRowInterval(int32_t& top, int32_t& bottom, int32_t at, int32_t count)
{
    if (at <= top) {
        top = std::min(top + count, kMaxRow);
        bottom = std::min(bottom + count, kMaxRow);
    } else if (at <= bottom) {
        bottom = std::min(bottom + count, kMaxRow);
    }
}

std::string ShiftRectListText(std::string_view rects, int32_t at, int32_t count)
{
    std::vector<CellRect> shifted = ParseRectList(rects);
    for (CellRect& rect : shifted) {
        ShiftRowInterval(rect.top, rect.bottom, at, count);
    }
    return FormatRectList(shifted);
}

int32_t ShiftRow(int32_t row, int32_t at, int32_t count)
{
    return row >= at ? row + count : row;
}

namespace {

// One sweep that joins pieces with the same columns whose rows overlap or touch
// (or, `alongRows` false, the same rows and columns); true when any joined.
bool JoinNeighbours(std::vector<CellRect>& rects, bool alongRows)
{
    auto key = [alongRows](const CellRect& r) {
        return alongRows ? std::array<int32_t, 3>{r.left, r.right, r.top} : std::array<int32_t, 3>{r.top, r.bottom, r.left};
    };
    std::vector<size_t> order(rects.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return key(rects[a]) < key(rects[b]); });
    std::vector<bool> gone(rects.size(), false);
    bool joined = false;
    size_t keep = order.empty() ? 0 : order[0];
    for (size_t i = 1; i < order.size(); ++i) {
        size_t next = order[i];
        CellRect& a = rects[keep];
        const CellRect& b = rects[next];
        bool touches = alongRows ? a.left == b.left && a.right == b.right && int64_t(b.top) <= int64_t(a.bottom) + 1
                                 : a.top == b.top && a.bottom == b.bottom && int64_t(b.left) <= int64_t(a.right) + 1;
        if (!touches) {
            keep = next;
            continue;
        }
        CellRect both = a;
        if (alongRows) {
            both.bottom = std::max(a.bottom, b.bottom);
        } else {
            both.right = std::max(a.right, b.right);
        }
        joined = true;
        if (next < keep) {
            gone[keep] = true;
            keep = next;
        } else {
            gone[next] = true;
        }
        rects[keep] = both;
    }
    size_t kept = 0;
    for (size_t i = 0; i < rects.size(); ++i) {
        if (!gone[i]) {
            rects[kept++] = rects[i];
        }
    }
    rects.resize(kept);
    return joined;
}

}  // namespace

std::vector<CellRect> MergeRectList(std::vector<CellRect> rects)
{
    // Each sweep that joins anything leaves fewer pieces, so this ends; a few
    // sweeps settle every list that occurs in practice.
    for (int sweep = 0; sweep < 8; ++sweep) {
        bool rows = JoinNeighbours(rects, true);
        bool columns = JoinNeighbours(rects, false);
        if (!rows && !columns) {
            break;
        }
    }
    return rects;
}

}  // namespace office::spreadsheet
