// The text Windows gives for an error code, for messages that name what failed.
#pragma once

#include <string>

namespace office {

// "text (code N)" for a GetLastError() code.
std::string WindowsErrorText(unsigned long code);

// The errno closest to a GetLastError() code, for callers that test errno values.
int ErrnoFromWindowsError(unsigned long code);

}  // namespace office
