// Old binary, RTF and OpenDocument templates are converted to OOXML with
// LibreOffice in headless mode and the result is kept in a cache, so the
// servers read them like any OOXML template.
#pragma once

#include "office/convert/LegacyFormat.h"

#include <filesystem>

namespace office {

// The OOXML file to read for the template at path: path itself when it is not
// in an old format, otherwise its converted copy under
// $XDG_CACHE_HOME/tolvane/ (made when the file's path, size or modification
// time has no copy yet). Throws PackageError naming the file and the reason
// when the format is of the other kind, LibreOffice is missing (naming the
// package to install), fails or takes longer than TOLVANE_CONVERT_TIMEOUT
// seconds (default 120).
std::filesystem::path OoxmlTemplateFor(const std::filesystem::path& path, LegacyKind wanted);

}  // namespace office
