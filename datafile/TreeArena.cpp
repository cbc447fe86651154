#include "datafile/TreeArena.h"

#include "datafile/PackedLink.h"

#include <cstdint>
#include <cstdlib>

struct ArenaBlock {
    ArenaBlock* next;
};

struct LargeText {
    LargeText* previous;
    LargeText* next;
};

namespace {

// Large enough that the waste at a block's end does not count, small enough
// that a small tree stays small. Blocks come from the heap: under the
// program's heap setting it lies on huge pages, which a tree read in an
// order other than its own needs, and giving blocks back costs no system
// call each, which regions of their own did (a seventh of a large run).
// Larger blocks would each be mapped apart by the allocator.
const size_t blockSize = 64 * 1024 - sizeof(ArenaBlock);

char* NewBlock(TreeArena* arena, size_t size)
{
    ArenaBlock* block = static_cast<ArenaBlock*>(std::malloc(sizeof(ArenaBlock) + size));
    if (block == nullptr)
        return nullptr;
    // The tree reaches what lives here through packed links; memory they
    // cannot reach counts as memory that ran out.
    if (!FitsPackedLink(reinterpret_cast<uintptr_t>(block + 1) + size)) {
        std::free(block);
        return nullptr;
    }
    block->next = arena->blocks;
    arena->blocks = block;
    return reinterpret_cast<char*>(block + 1);
}

size_t Left(const char* top, const char* end)
{
    return static_cast<size_t>(end - top);
}

LargeText* HeaderOf(char* text)
{
    return reinterpret_cast<LargeText*>(text) - 1;
}

} // namespace

void* ArenaRecord(TreeArena* arena, size_t size, size_t alignment)
{
    // Alignments are powers of two, which spares a division on every record.
    size_t padding = (0 - reinterpret_cast<uintptr_t>(arena->recordTop)) & (alignment - 1);
    if (Left(arena->recordTop, arena->recordEnd) < padding + size) {
        char* data = NewBlock(arena, blockSize);
        if (data == nullptr)
            return nullptr;
        arena->recordTop = data;
        // The last word is never handed out, so the end of a record always
        // lies inside its block, where no text is.
        arena->recordEnd = data + blockSize - sizeof(void*);
        padding = 0;
    }
    void* record = arena->recordTop + padding;
    arena->recordTop += padding + size;
    return record;
}

char* ArenaText(TreeArena* arena, size_t size)
{
    // A long text gets a block of its own and leaves the current one in use.
    if (size > blockSize / 4)
        return NewBlock(arena, size);
    if (Left(arena->textTop, arena->textEnd) < size) {
        char* data = NewBlock(arena, blockSize);
        if (data == nullptr)
            return nullptr;
        arena->textTop = data;
        arena->textEnd = data + blockSize;
    }
    char* text = arena->textTop;
    arena->textTop += size;
    return text;
}

bool ResizeLatestText(TreeArena* arena, char* text, size_t oldSize, size_t newSize)
{
    if (text + oldSize != arena->textTop)
        return false;
    if (newSize > oldSize && Left(text, arena->textEnd) < newSize)
        return false;
    arena->textTop = text + newSize;
    return true;
}

char* ResizeLargeText(TreeArena* arena, char* text, size_t size)
{
    LargeText* old = text != nullptr ? HeaderOf(text) : nullptr;
    LargeText* header = static_cast<LargeText*>(std::realloc(old, sizeof(LargeText) + size));
    if (header == nullptr) {
        if (text != nullptr)
            FreeLargeText(arena, text);
        return nullptr;
    }
    if (old == nullptr) {
        header->previous = nullptr;
        header->next = arena->largeTexts;
    }
    if (header->previous != nullptr)
        header->previous->next = header;
    else
        arena->largeTexts = header;
    if (header->next != nullptr)
        header->next->previous = header;
    char* resized = reinterpret_cast<char*>(header + 1);
    if (!FitsPackedLink(reinterpret_cast<uintptr_t>(resized) + size)) {
        FreeLargeText(arena, resized);
        return nullptr;
    }
    return resized;
}

void FreeLargeText(TreeArena* arena, char* text)
{
    LargeText* header = HeaderOf(text);
    if (header->previous != nullptr)
        header->previous->next = header->next;
    else
        arena->largeTexts = header->next;
    if (header->next != nullptr)
        header->next->previous = header->previous;
    std::free(header);
}

void FreeArena(TreeArena* arena)
{
    while (arena->blocks != nullptr) {
        ArenaBlock* next = arena->blocks->next;
        std::free(arena->blocks);
        arena->blocks = next;
    }
    while (arena->largeTexts != nullptr) {
        LargeText* next = arena->largeTexts->next;
        std::free(arena->largeTexts);
        arena->largeTexts = next;
    }
    *arena = TreeArena{};
}
