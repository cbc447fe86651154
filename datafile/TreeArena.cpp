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

// The first region of each kind: large enough that the waste at a block's end
// does not count, small enough that a small tree stays small; the system's
// unit of address space. Later regions double up to the largest, because
// giving a region back costs the system the same whatever its size, and a
// large tree was spending more time freeing than loading. The largest bounds
// what a block's unused end holds resident.
const size_t firstRegion = 64 * 1024;
const size_t largestRegion = 1024 * 1024;
const size_t longTextSize = (firstRegion - sizeof(ArenaBlock)) / 4;

void FreeBlock(ArenaBlock* block)
{
    if (block->fromSystem)
        VirtualFree(block, 0, MEM_RELEASE);
    else
        std::free(block);
}

ArenaBlock* LinkBlock(TreeArena* arena, ArenaBlock* block, bool fromSystem, size_t size)
{
    block->fromSystem = fromSystem;
    // The tree reaches what lives here through packed links; memory they
    // cannot reach counts as memory that ran out.
    if (!FitsPackedLink(reinterpret_cast<uintptr_t>(block + 1) + size)) {
        FreeBlock(block);
        return nullptr;
    }
    block->next = arena->blocks;
    arena->blocks = block;
    return block;
}

// A block of its own for one long text, from the heap, not to waste a
// region's rest.
char* NewLongTextBlock(TreeArena* arena, size_t size)
{
    ArenaBlock* block = static_cast<ArenaBlock*>(std::malloc(sizeof(ArenaBlock) + size));
    if (block == nullptr)
        return nullptr;
    block = LinkBlock(arena, block, false, size);
    return block != nullptr ? reinterpret_cast<char*>(block + 1) : nullptr;
}

// A block from the system, whose fresh pages arrive resident at once; its
// region follows the previous one of the kind, and is stored back. None,
// with the region unchanged, when memory runs out.
char* NewSystemBlock(TreeArena* arena, size_t& region, char*& end)
{
    size_t size = region == 0 ? firstRegion : region < largestRegion ? region * 2 : largestRegion;
    ArenaBlock* block = static_cast<ArenaBlock*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (block == nullptr)
        return nullptr;
    size_t usable = size - sizeof(ArenaBlock);
    if (LinkBlock(arena, block, true, usable) == nullptr)
        return nullptr;
    region = size;
    char* data = reinterpret_cast<char*>(block + 1);
    end = data + usable;
    return data;
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
        char* end = nullptr;
        char* data = NewSystemBlock(arena, arena->recordRegion, end);
        if (data == nullptr)
            return nullptr;
        arena->recordTop = data;
        // The last word is never handed out, so the end of a record always
        // lies inside its block, where no text is.
        arena->recordEnd = end - sizeof(void*);
        padding = 0;
    }
    void* record = arena->recordTop + padding;
    arena->recordTop += padding + size;
    return record;
}

char* ArenaText(TreeArena* arena, size_t size)
{
    // A long text gets a block of its own and leaves the current one in use.
    if (size > longTextSize)
        return NewLongTextBlock(arena, size);
    if (Left(arena->textTop, arena->textEnd) < size) {
        char* data = NewSystemBlock(arena, arena->textRegion, arena->textEnd);
        if (data == nullptr)
            return nullptr;
        arena->textTop = data;
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
