// Indexes over a workbook's defined names, kept beside the list so that
// lookups, the collection's order and row insertions cost time in proportion
// to what they find, not to the number of names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace office::spreadsheet {

struct DefinedName;

class NameIndex {
public:
    // The list changed in a way the index cannot follow (read, erased, reordered).
    void Reset();
    // The list's last name was just added.
    void Appended(const std::vector<DefinedName>& names);
    // The formula of an existing name was replaced.
    void Redefined(const std::vector<DefinedName>& names, size_t position);

    // Case-insensitive, as stored ("_xlnm." included) or bare (without it);
    // the first such name of the list in that scope (-1: the workbook).
    std::optional<size_t> FindStored(const std::vector<DefinedName>& names, std::string_view stored, int32_t scope);
    std::optional<size_t> FindBare(const std::vector<DefinedName>& names, std::string_view bare, int32_t scope);

    // Positions in the collection's alphabetical order.
    const std::vector<size_t>& Order(const std::vector<DefinedName>& names);

    // Rows inserted above `at` on `sheet`: moves only the names that reach
    // down to row `at` or below; true when one changed.
    bool InsertRows(std::vector<DefinedName>& names, int32_t sheet, int32_t at, int32_t count);

private:
    using Lookup = std::unordered_map<std::string, size_t>;
    struct RowEntry {
        int32_t lastRow;  // the lowest row of the sheet the name refers to
        size_t position;
    };

    void BuildLookup(const std::vector<DefinedName>& names);
    void AddToLookup(const std::vector<DefinedName>& names, size_t position);
    std::optional<size_t> Find(const std::vector<DefinedName>& names, Lookup& lookup, std::string_view text,
                               int32_t scope, bool bare);
    void BuildRows(const std::vector<DefinedName>& names);
    void AddToRows(const std::vector<DefinedName>& names, size_t position);

    bool lookupBuilt = false;
    size_t lookupSize = 0;
    Lookup byStored;
    Lookup byBare;

    bool orderBuilt = false;
    std::vector<size_t> order;

    bool rowsBuilt = false;
    size_t rowsSize = 0;
    std::vector<std::vector<RowEntry>> rowsBySheet;  // sorted by lastRow
};

}  // namespace office::spreadsheet
