// Text as automation passes it: UTF-16 in OLECHAR, whatever type the system
// gives OLECHAR (char16_t on Linux, wchar_t on Windows).
#pragma once

#include <ole2.h>

#include <string>
#include <string_view>

using OleString = std::basic_string<OLECHAR>;
using OleStringView = std::basic_string_view<OLECHAR>;
