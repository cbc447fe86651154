#include "datafile/TreeArena.h"

#include "datafile/PackedLink.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

struct ArenaBlock {
    ArenaBlock* next;
    // Whole blocks come from the system, whose fresh pages arrive resident at
    // once; a long text's block from the heap, not to waste a region's rest.
    bool fromSystem;
};

struct LargeText {
    LargeText* previous;
    LargeText* next;
};

namespace {

// Large enough that the waste at a block's end does not count, small enough
// that a small tree stays small; the system's unit of address space.
const size_t regionSize = 64 * 1024;
const size_t blockSize = regionSize - sizeof(ArenaBlock);

void FreeBlock(ArenaBlock* block)
{
    if (block->fromSystem)
        VirtualFree(block, 0, MEM_RELEASE);
    else
        std::free(block);
}

char* NewBlock(TreeArena* arena, size_t size)
{
    bool fromSystem = size == blockSize;
    ArenaBlock* block = static_cast<ArenaBlock*>(
        fromSystem ? VirtualAlloc(nullptr, regionSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)
                   : std::malloc(sizeof(ArenaBlock) + size));
    if (block == nullptr)
        return nullptr;
    block->fromSystem = fromSystem;
    // The tree reaches what lives here through packed links; memory they
    // cannot reach counts as memory that ran out.
    if (!FitsPackedLink(reinterpret_cast<uintptr_t>(block + 1) + size)) {
        FreeBlock(block);
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
        FreeBlock(arena->blocks);
        arena->blocks = next;
    }
    while (arena->largeTexts != nullptr) {
        LargeText* next = arena->largeTexts->next;
        std::free(arena->largeTexts);
        arena->largeTexts = next;
    }
    *arena = TreeArena{};
}
