#include "office/spreadsheet/NameIndex.h"

#include <algorithm>
#include <cstring>

#include "office/spreadsheet/DefinedNames.h"

namespace office::spreadsheet {
namespace {

// The scope goes in front, so that keys of one scope share no prefix with another's.
std::string Key(std::string_view text, int32_t scope)
{
    std::string key(sizeof scope, '\0');
    std::memcpy(key.data(), &scope, sizeof scope);
    key.reserve(key.size() + text.size());
    for (char c : text) {
        key += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    return key;
}

// The lowest row of `sheet` a name's references reach; 0 when none moves with that sheet's rows.
int32_t LastRowOn(const DefinedName& name, int32_t sheet)
{
    int32_t last = 0;
    for (const FormulaRef& ref : name.formula.Refs()) {
        if (ref.sheet == sheet && !ref.invalid && ref.kind != FormulaRef::Kind::Columns) {
            last = std::max({last, ref.row1, ref.row2});
        }
    }
    return last;
}

}  // namespace

void NameIndex::Reset()
{
    lookupBuilt = false;
    orderBuilt = false;
    rowsBuilt = false;
}

void NameIndex::Appended(const std::vector<DefinedName>& names)
{
    orderBuilt = false;
    if (lookupBuilt && lookupSize + 1 == names.size()) {
        AddToLookup(names, names.size() - 1);
        lookupSize = names.size();
    } else {
        lookupBuilt = false;
    }
    if (rowsBuilt && rowsSize + 1 == names.size()) {
        AddToRows(names, names.size() - 1);
        rowsSize = names.size();
    } else {
        rowsBuilt = false;
    }
}

void NameIndex::Redefined(const std::vector<DefinedName>& names, size_t position)
{
    if (!rowsBuilt || rowsSize != names.size()) {
        rowsBuilt = false;
        return;
    }
    for (auto& entries : rowsBySheet) {
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const RowEntry& entry) { return entry.position == position; }),
                      entries.end());
    }
    AddToRows(names, position);
}

void NameIndex::AddToLookup(const std::vector<DefinedName>& names, size_t position)
{
    const DefinedName& name = names[position];
    byStored.try_emplace(Key(name.name, name.localSheet), position);
    byBare.try_emplace(Key(BareName(name.name), name.localSheet), position);
}

void NameIndex::BuildLookup(const std::vector<DefinedName>& names)
{
    byStored.clear();
    byBare.clear();
    byStored.reserve(names.size());
    byBare.reserve(names.size());
    for (size_t position = 0; position < names.size(); ++position) {
        AddToLookup(names, position);
    }
    lookupSize = names.size();
    lookupBuilt = true;
}

std::optional<size_t> NameIndex::Find(const std::vector<DefinedName>& names, Lookup& lookup, std::string_view text,
                                      int32_t scope, bool bare)
{
    if (!lookupBuilt || lookupSize != names.size()) {
        BuildLookup(names);
    }
    std::string key = Key(text, scope);
    auto found = lookup.find(key);
    if (found == lookup.end()) {
        return std::nullopt;
    }
    const DefinedName& name = names[found->second];
    std::string_view stored = bare ? BareName(name.name) : std::string_view(name.name);
    if (name.localSheet == scope && Key(stored, scope) == key) {
        return found->second;
    }
    // The list was changed behind the index's back: build it again.
    BuildLookup(names);
    found = lookup.find(key);
    return found == lookup.end() ? std::nullopt : std::optional<size_t>(found->second);
}

std::optional<size_t> NameIndex::FindStored(const std::vector<DefinedName>& names, std::string_view stored,
                                            int32_t scope)
{
    return Find(names, byStored, stored, scope, false);
}

std::optional<size_t> NameIndex::FindBare(const std::vector<DefinedName>& names, std::string_view bare, int32_t scope)
{
    return Find(names, byBare, bare, scope, true);
}

const std::vector<size_t>& NameIndex::Order(const std::vector<DefinedName>& names)
{
    if (orderBuilt && order.size() == names.size()) {
        return order;
    }
    std::vector<std::string> keys(names.size());
    order.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        order[i] = i;
        keys[i] = Key(BareName(names[i].name), 0);
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (keys[a] != keys[b]) {
            return keys[a] < keys[b];
        }
        return names[a].localSheet < names[b].localSheet;
    });
    orderBuilt = true;
    return order;
}

void NameIndex::AddToRows(const std::vector<DefinedName>& names, size_t position)
{
    std::vector<int32_t> sheets;
    for (const FormulaRef& ref : names[position].formula.Refs()) {
        if (ref.sheet >= 0 && std::find(sheets.begin(), sheets.end(), ref.sheet) == sheets.end()) {
            sheets.push_back(ref.sheet);
        }
    }
    for (int32_t sheet : sheets) {
        int32_t last = LastRowOn(names[position], sheet);
        if (last == 0) {
            continue;
        }
        if (size_t(sheet) >= rowsBySheet.size()) {
            rowsBySheet.resize(size_t(sheet) + 1);
        }
        std::vector<RowEntry>& entries = rowsBySheet[size_t(sheet)];
        auto place = std::upper_bound(entries.begin(), entries.end(), last,
                                      [](int32_t row, const RowEntry& entry) { return row < entry.lastRow; });
        entries.insert(place, RowEntry{last, position});
    }
}

void NameIndex::BuildRows(const std::vector<DefinedName>& names)
{
    rowsBySheet.clear();
    for (size_t position = 0; position < names.size(); ++position) {
        AddToRows(names, position);
    }
    rowsSize = names.size();
    rowsBuilt = true;
}

bool NameIndex::InsertRows(std::vector<DefinedName>& names, int32_t sheet, int32_t at, int32_t count)
{
    if (!rowsBuilt || rowsSize != names.size()) {
        BuildRows(names);
    }
    if (sheet < 0 || size_t(sheet) >= rowsBySheet.size()) {
        return false;
    }
    std::vector<RowEntry>& entries = rowsBySheet[size_t(sheet)];
    auto first = std::lower_bound(entries.begin(), entries.end(), at,
                                  [](const RowEntry& entry, int32_t row) { return entry.lastRow < row; });
    bool changed = false;
    for (auto entry = first; entry != entries.end(); ++entry) {
        DefinedName& name = names[entry->position];
        changed |= name.formula.InsertRows(sheet, at, count);
        entry->lastRow = LastRowOn(name, sheet);
    }
    // Only references pushed off the sheet can upset the order.
    auto byRow = [](const RowEntry& a, const RowEntry& b) { return a.lastRow < b.lastRow; };
    if (!std::is_sorted(first, entries.end(), byRow)) {
        std::stable_sort(entries.begin(), entries.end(), byRow);
    }
    return changed;
}

}  // namespace office::spreadsheet
