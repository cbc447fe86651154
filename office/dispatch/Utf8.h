// UTF-8 <-> UTF-16 for the servers: documents are UTF-8, automation text is UTF-16.
#pragma once

#include "office/dispatch/OleString.h"

OleString Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(OleStringView text);
