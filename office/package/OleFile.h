// Files that are OLE compound documents rather than zips: the binary Office
// formats, and OOXML packages encrypted with a password, which are stored
// inside one.
#pragma once

#include <string_view>

namespace office {

bool IsOleFile(std::string_view bytes);

// Whether an OLE compound document holds an encrypted OOXML package (its
// directory names an "EncryptedPackage" stream).
bool IsEncryptedPackage(std::string_view bytes);

}  // namespace office
