#include "office/package/Presenter.h"
#include "office/package/PresenterDesktop.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

namespace office {

// The user's Documents folder unless TOLVANE_OUTPUT_DIR names another; the
// current folder when the system names none.
std::filesystem::path OutputFolder() {
    const wchar_t* folder = _wgetenv(L"TOLVANE_OUTPUT_DIR");
    if (folder && *folder) return folder;
    wchar_t* documents = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)) && documents && *documents) {
        result = documents;
    }
    CoTaskMemFree(documents);
    if (!result.empty()) return result;
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

// Access rights on Windows are only known by trying; the temporary file's
// creation reports a refusal with the system's words.
std::string FolderRefusesWriting(const std::filesystem::path&) { return ""; }

void OpenOnDesktop(const std::filesystem::path& path) {
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace office
