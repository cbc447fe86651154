#include "office/convert/ConversionFolders.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cwchar>

namespace office {

std::filesystem::path UserCacheFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local && std::filesystem::path(local).is_absolute()) return local;
    return {};
}

// A folder under the user's profile already inherits an access list that
// keeps other users out; CreateDirectoryW never opens one that exists.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[32];
        std::swprintf(name, 32, L"convert-%06x", (GetCurrentProcessId() * 7919u + counter++ + GetTickCount()) & 0xffffffu);
        const std::filesystem::path folder = parent / name;
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

}  // namespace office
