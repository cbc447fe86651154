// Trimming of element contents. The two ends use different sets: the end
// loses space, tab, line feed, vertical tab, form feed and carriage return;
// the start loses the same without form feed. Bytes from 0x80 up are never
// white space, so no byte of a multi-byte character is ever cut.
#pragma once

#include <cstddef>

// Whether trimming cuts the byte at the start of a text.
bool IsLeadingWhiteSpace(char c);

// Trims the NUL-terminated text in place and returns its new length.
size_t TrimContents(char* text);

// The same for a text whose length is known.
size_t TrimContents(char* text, size_t length);

// Whether trimming would leave nothing of the first length bytes.
bool TrimsToNothing(const char* text, size_t length);
