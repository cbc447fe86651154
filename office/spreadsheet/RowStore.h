// The rows of a sheet, kept in chunks so that inserting rows costs time in
// proportion to a chunk and the logarithm of the number of chunks, not to the
// whole sheet: the chunk sizes are summed in a Fenwick tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace office::spreadsheet {

struct Cell {
    enum class Type : uint8_t { Blank, Number, SharedString, Boolean, Error, Formula, Raw };
    int32_t column = 0;
    uint32_t style = 0;
    Type type = Type::Blank;
    uint32_t extra = 0;  // 1-based index of kept attributes/children in the sheet, 0 for none
    union {
        double number = 0;
        uint32_t index;  // shared string, error/raw text or formula slot
    };
};

using RowAttributes = std::vector<std::pair<std::string, std::string>>;

struct Row {
    std::vector<Cell> cells;  // ordered by column
    std::unique_ptr<RowAttributes> attributes;

    Cell* Find(int32_t column);
    Cell& Get(int32_t column);
    bool Empty() const { return cells.empty() && !attributes; }
    const std::string* Attribute(std::string_view name) const;
    void SetAttribute(std::string_view name, std::string value);
    void RemoveAttribute(std::string_view name);
};

class RowStore {
public:
    int32_t Size() const { return int32_t(total); }
    Row* Find(int32_t row);
    const Row* Find(int32_t row) const;
    Row& Get(int32_t row);
    // Empty rows inserted above `at`; rows at and below move down by count.
    void Insert(int32_t at, int32_t count);
    // Forgets the rows after `last`.
    void DropAfter(int32_t last);

    template <typename Visit>
    void ForEach(Visit visit) const
    {
        int32_t row = 1;
        for (const auto& chunk : chunks) {
            for (const Row& r : chunk) {
                visit(row++, r);
            }
        }
    }
    template <typename Visit>
    void ForEach(Visit visit)
    {
        int32_t row = 1;
        for (auto& chunk : chunks) {
            for (Row& r : chunk) {
                visit(row++, r);
            }
        }
    }

private:
    std::pair<size_t, size_t> Locate(size_t index) const;
    void SplitChunk(size_t chunk);
    void Grow(size_t chunk, size_t count);
    void Shrink(size_t chunk, size_t count);
    size_t RowsBefore(size_t chunk) const;
    void AppendChunk();
    void RebuildSums();

    std::vector<std::vector<Row>> chunks;
    std::vector<size_t> sums;  // Fenwick tree over the chunk sizes, 1-based
    size_t total = 0;
};

}  // namespace office::spreadsheet
