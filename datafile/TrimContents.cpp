#include "datafile/TrimContents.h"

#include <cstring>

// Spelled out rather than taken from the current locale, so that a locale set
// by the user interface cannot turn bytes of UTF-8 characters into white space.
static bool IsTrailingWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsLeadingWhiteSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v';
}

static size_t TrimmedEnd(const char* text, size_t length)
{
    while (length > 0 && IsTrailingWhiteSpace(text[length - 1]))
        --length;
    return length;
}

size_t TrimContents(char* text)
{
    return TrimContents(text, std::strlen(text));
}

size_t TrimContents(char* text, size_t length)
{
    size_t end = TrimmedEnd(text, length);
    size_t start = 0;
    while (start < end && IsLeadingWhiteSpace(text[start]))
        ++start;
    size_t trimmed = end - start;
    if (start > 0)
        std::memmove(text, text + start, trimmed);
    text[trimmed] = '\0';
    return trimmed;
}

bool TrimsToNothing(const char* text, size_t length)
{
    // What survives the end's trimming ends in a byte that is not white space
    // in either set, so the start's trimming stops before it.
    return TrimmedEnd(text, length) == 0;
}
