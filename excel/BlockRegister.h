// The register of the heading blocks a group filling has inserted: for a
// record and a template row, the first row of the block that holds a copy of
// that template row above the record. The first entry for a pair is the one
// that counts, as in a text register searched from its start.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

class BlockRegister {
public:
    // Notes the block inserted above `record` whose first row copies template
    // row `blockStart`, for one of the template rows it copies.
    void Add(int32_t record, int32_t templateRow, int32_t blockStart);
    std::optional<int32_t> Find(int32_t record, int32_t templateRow) const;

private:
    static uint64_t Key(int32_t record, int32_t templateRow);

    std::unordered_map<uint64_t, int32_t> blockStarts;
    // Which records have any entry: most have none, and asking the map about
    // each of them costs a cache miss apiece on a large group.
    std::vector<bool> recordsWithBlocks;
};
