// The text of a failed load: one line naming the file and the last error, and
// for a parse error a second line with Expat's code, position and message.
#pragma once

#include "datafile/XmlParser.h"

#include <string>

// The parser may be none (when it could not be created).
std::string LoadFailureText(const char* path, XmlParser* parser);
