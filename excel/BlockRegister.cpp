#include "excel/BlockRegister.h"

void BlockRegister::Add(int32_t record, int32_t templateRow, int32_t blockStart) {
    blockStarts.try_emplace(Key(record, templateRow), blockStart);
    if (record < 0) return;
    size_t index = static_cast<size_t>(record);
    if (index >= recordsWithBlocks.size()) recordsWithBlocks.resize(index + 1);
    recordsWithBlocks[index] = true;
}

std::optional<int32_t> BlockRegister::Find(int32_t record, int32_t templateRow) const {
    if (record >= 0 && (static_cast<size_t>(record) >= recordsWithBlocks.size() ||
                        !recordsWithBlocks[static_cast<size_t>(record)]))
        return std::nullopt;
    auto entry = blockStarts.find(Key(record, templateRow));
    if (entry == blockStarts.end()) return std::nullopt;
    return entry->second;
}

uint64_t BlockRegister::Key(int32_t record, int32_t templateRow) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(record)) << 32) |
           static_cast<uint32_t>(templateRow);
}
