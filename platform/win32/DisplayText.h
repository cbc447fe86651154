// Program texts are in the ANSI code page; terminals and GTK want UTF-8.
#pragma once

#include <string>

namespace win32 {

// Invalid sequences become U+FFFD, so the result is always valid UTF-8.
std::string AnsiToUtf8(const std::string& text);

}  // namespace win32
