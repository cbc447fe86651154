// Text at the COM boundary of the tests. OLECHAR is wchar_t on Windows and
// char16_t in our layer; both hold UTF-16, so the tests keep their u"" texts
// and convert here, where they meet an OLECHAR.
#pragma once

#include <string>
#include <string_view>

#include "office/dispatch/OleString.h"

OleString ToOle(std::u16string_view text);
std::u16string FromOle(const OLECHAR* text, size_t length);
// Null-terminated; a null pointer is the empty text.
std::u16string FromOle(const OLECHAR* text);

std::string OleToUtf8(const OLECHAR* text, size_t length);
// A BSTR's whole length, embedded nulls included; a null BSTR is empty.
std::string BstrToUtf8(BSTR text);
std::string TextToUtf8(std::u16string_view text);
OleString Utf8ToOle(std::string_view text);
