// Conversions through the ANSI code page for names and paths that travel to
// and from the office application.
#pragma once

#include <string>

#include <ole2.h>

std::basic_string<OLECHAR> AnsiToWide(const char* text);
std::string WideToAnsi(const OLECHAR* text);

// The narrow text of a BSTR call result (a document or form field Name); the
// result is cleared.
std::string AnsiTextResult(VARIANT result);
