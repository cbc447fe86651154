// Memory for the records and texts of one parsed tree, taken from large blocks
// and given back all at once with the tree. A data file holds millions of
// small elements; allocating each on its own costs the allocator's share on
// top of every record, which is more than most of their texts.
//
// Records and texts live in separate blocks: records stay aligned while texts
// pack byte by byte, and the end of a record never touches a text.
#pragma once

#include <cstddef>

struct ArenaBlock;
struct LargeText;

struct TreeArena {
    ArenaBlock* blocks;
    char* recordTop;
    char* recordEnd;
    char* textTop;
    char* textEnd;
    LargeText* largeTexts;
};

// Room for a record at the alignment, a power of two at most a pointer's. None when
// memory runs out; these functions leave the last error to their callers.
void* ArenaRecord(TreeArena* arena, size_t size, size_t alignment);

// Room for size bytes of text; none when memory runs out.
char* ArenaText(TreeArena* arena, size_t size);

// Grows or shrinks a text in place when it is the latest in its block and
// the block has the room; false otherwise (the text is then unchanged).
bool ResizeLatestText(TreeArena* arena, char* text, size_t oldSize, size_t newSize);

// A text in an allocation of its own, for texts too long for a block: a new
// one when text is none, else text reallocated to the size. None when memory
// runs out; text is then freed, so that a failure never leaves a link to
// memory that moved.
char* ResizeLargeText(TreeArena* arena, char* text, size_t size);

void FreeLargeText(TreeArena* arena, char* text);

// Frees every block and large text.
void FreeArena(TreeArena* arena);
