#include "office/spreadsheet/RowStore.h"

#include <algorithm>
#include <iterator>

namespace office::spreadsheet {
namespace {

constexpr size_t kChunkRows = 256;

}  // namespace

Cell* Row::Find(int32_t column)
{
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& cell, int32_t c) { return cell.column < c; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

Cell& Row::Get(int32_t column)
{
    if (!cells.empty() && cells.back().column < column) {
        Cell& cell = cells.emplace_back();
        cell.column = column;
        return cell;
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const Cell& cell, int32_t c) { return cell.column < c; });
    if (it != cells.end() && it->column == column) {
        return *it;
    }
    Cell cell;
    cell.column = column;
    return *cells.insert(it, cell);
}

const std::string* Row::Attribute(std::string_view name) const
{
    if (!attributes) {
        return nullptr;
    }
    for (const auto& [key, value] : *attributes) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

void Row::SetAttribute(std::string_view name, std::string value)
{
    if (!attributes) {
        attributes = std::make_unique<RowAttributes>();
    }
    for (auto& [key, existing] : *attributes) {
        if (key == name) {
            existing = std::move(value);
            return;
        }
    }
    attributes->emplace_back(std::string(name), std::move(value));
}

void Row::RemoveAttribute(std::string_view name)
{
    if (!attributes) {
        return;
    }
    std::erase_if(*attributes, [&](const auto& entry) { return entry.first == name; });
    if (attributes->empty()) {
        attributes.reset();
    }
}

size_t RowStore::RowsBefore(size_t chunk) const
{
    size_t rows = 0;
    for (size_t node = chunk; node > 0; node &= node - 1) {
        rows += sums[node];
    }
    return rows;
}

void RowStore::Grow(size_t chunk, size_t count)
{
    for (size_t node = chunk + 1; node < sums.size(); node += node & (~node + 1)) {
        sums[node] += count;
    }
}

void RowStore::Shrink(size_t chunk, size_t count)
{
    for (size_t node = chunk + 1; node < sums.size(); node += node & (~node + 1)) {
        sums[node] -= count;
    }
}

void RowStore::AppendChunk()
{
    chunks.emplace_back().reserve(kChunkRows);
    if (sums.empty()) {
        sums.push_back(0);
    }
    // The new node covers the chunks after its lowest set bit; all but itself hold rows already.
    size_t node = sums.size();
    sums.push_back(RowsBefore(node - 1) - RowsBefore(node - (node & (~node + 1))));
}

void RowStore::RebuildSums()
{
    sums.assign(chunks.size() + 1, 0);
    for (size_t node = 1; node < sums.size(); ++node) {
        sums[node] += chunks[node - 1].size();
        size_t parent = node + (node & (~node + 1));
        if (parent < sums.size()) {
            sums[parent] += sums[node];
        }
    }
}

std::pair<size_t, size_t> RowStore::Locate(size_t index) const
{
    size_t node = 0;
    size_t rest = index;
    size_t step = 1;
    while (step * 2 < sums.size()) {
        step *= 2;
    }
    for (; step > 0; step /= 2) {
        if (node + step < sums.size() && sums[node + step] <= rest) {
            node += step;
            rest -= sums[node];
        }
    }
    return {node, rest};
}

Row* RowStore::Find(int32_t row)
{
    if (row < 1 || size_t(row) > total) {
        return nullptr;
    }
    auto [chunk, offset] = Locate(size_t(row - 1));
    return &chunks[chunk][offset];
}

const Row* RowStore::Find(int32_t row) const
{
    return const_cast<RowStore*>(this)->Find(row);
}

Row& RowStore::Get(int32_t row)
{
    while (total < size_t(row)) {
        if (chunks.empty() || chunks.back().size() >= kChunkRows) {
            AppendChunk();
        }
        size_t room = kChunkRows - chunks.back().size();
        size_t add = std::min(room, size_t(row) - total);
        chunks.back().resize(chunks.back().size() + add);
        Grow(chunks.size() - 1, add);
        total += add;
    }
    return *Find(row);
}

void RowStore::SplitChunk(size_t chunk)
{
    std::vector<Row>& full = chunks[chunk];
    std::vector<std::vector<Row>> pieces;
    for (size_t start = 0; start < full.size(); start += kChunkRows) {
        size_t end = std::min(full.size(), start + kChunkRows);
        pieces.emplace_back(std::make_move_iterator(full.begin() + long(start)),
                            std::make_move_iterator(full.begin() + long(end)));
    }
    chunks.erase(chunks.begin() + long(chunk));
    chunks.insert(chunks.begin() + long(chunk), std::make_move_iterator(pieces.begin()),
                  std::make_move_iterator(pieces.end()));
    RebuildSums();
}

void RowStore::Insert(int32_t at, int32_t count)
{
    if (count <= 0 || at < 1 || size_t(at) > total) {
        return;
    }
    auto [chunk, offset] = Locate(size_t(at - 1));
    std::vector<Row> fresh(static_cast<size_t>(count));
    auto& rows = chunks[chunk];
    rows.insert(rows.begin() + long(offset), std::make_move_iterator(fresh.begin()),
                std::make_move_iterator(fresh.end()));
    total += size_t(count);
    if (rows.size() > 2 * kChunkRows) {
        SplitChunk(chunk);
    } else {
        Grow(chunk, size_t(count));
    }
}

void RowStore::DropAfter(int32_t last)
{
    while (total > size_t(std::max(last, 0))) {
        auto& rows = chunks.back();
        size_t drop = std::min(total - size_t(last), rows.size());
        rows.resize(rows.size() - drop);
        Shrink(chunks.size() - 1, drop);
        total -= drop;
        if (rows.empty()) {
            // Nodes of the chunks before never cover a later chunk.
            chunks.pop_back();
            sums.pop_back();
        }
    }
}

}  // namespace office::spreadsheet
