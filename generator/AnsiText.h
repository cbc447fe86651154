// Conversions through the ANSI code page for names and paths that travel to
// and from the office application.
#pragma once

#include <string>

#include "platform/com/ole2.h"

std::u16string AnsiToWide(const char* text);
std::string WideToAnsi(const OLECHAR* text);

// The narrow text of a BSTR call result (a document or form field Name); the
// result is cleared.
std::string AnsiTextResult(VARIANT result);
