// Records and texts handed out across many blocks must stay apart and keep
// what was written into them until the arena goes.
#include "datafile/TreeArena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Piece {
    unsigned char* data;
    size_t size;
    unsigned char mark;
};

TEST(TreeArenaTest, RecordsAndTextsOfManyBlocksKeepTheirBytes)
{
    TreeArena arena{};
    std::vector<Piece> pieces;
    size_t handedOut = 0;
    // Enough for a few hundred blocks of each kind.
    for (size_t i = 0; handedOut < 12 * 1024 * 1024; ++i) {
        size_t size = 1 + i * 7 % 61;
        unsigned char mark = static_cast<unsigned char>(i * 31 + 1);
        unsigned char* data = nullptr;
        if (i % 3 == 0) {
            data = reinterpret_cast<unsigned char*>(ArenaText(&arena, size * 3));
            size *= 3;
        } else {
            size_t alignment = i % 2 == 0 ? alignof(void*) : 2;
            data = static_cast<unsigned char*>(ArenaRecord(&arena, size, alignment));
            ASSERT_EQ(reinterpret_cast<uintptr_t>(data) % alignment, 0u) << i;
        }
        ASSERT_NE(data, nullptr) << i;
        std::memset(data, mark, size);
        pieces.push_back({data, size, mark});
        handedOut += size;
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        for (size_t k = 0; k < piece.size; ++k)
            ASSERT_EQ(piece.data[k], piece.mark) << "piece " << i << " byte " << k;
    }
    FreeArena(&arena);
    EXPECT_EQ(arena.blocks, nullptr);
}

// A text that would not fit what is left of the current block starts a new
// one and is handed out whole, however close to the end the old one is filled.
TEST(TreeArenaTest, TextsFillingBlocksCloselyStayWhole)
{
    TreeArena arena{};
    std::vector<Piece> pieces;
    for (size_t i = 0; i < 600; ++i) {
        size_t size = 16000 - i % 5;
        char* text = ArenaText(&arena, size);
        ASSERT_NE(text, nullptr) << i;
        std::memset(text, static_cast<int>(i % 251), size);
        pieces.push_back({reinterpret_cast<unsigned char*>(text), size, static_cast<unsigned char>(i % 251)});
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        ASSERT_EQ(piece.data[0], piece.mark) << i;
        ASSERT_EQ(piece.data[piece.size - 1], piece.mark) << i;
    }
    FreeArena(&arena);
}

} // namespace
