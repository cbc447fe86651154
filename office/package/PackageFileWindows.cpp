#include "office/package/Package.h"

#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/WindowsError.h"

#include <windows.h>

#include <algorithm>

namespace office {
namespace {

struct ClosedAtExit {
    HANDLE file;
    ~ClosedAtExit() { CloseHandle(file); }
};

}  // namespace

std::string ReadPackageFile(const std::filesystem::path& path) {
    const std::string shown = PathText(path);
    const auto fail = [&](const std::string& reason) { return PackageError("Cannot read '" + shown + "': " + reason); };
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw fail("it is not a regular file");
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) throw fail("the file does not exist");
        throw fail("the file cannot be opened (" + WindowsErrorText(error) + ")");
    }
    const ClosedAtExit closer{file};
    // Pipes, consoles and devices such as NUL are no files to read whole.
    if (GetFileType(file) != FILE_TYPE_DISK) throw fail("it is not a regular file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) throw fail(WindowsErrorText(GetLastError()));
    if (size.QuadPart > (LONGLONG(1) << 30)) throw fail("the file is larger than 1 GiB");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, DWORD(1) << 24));
        if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr)) {
            throw fail("reading failed (" + WindowsErrorText(GetLastError()) + ")");
        }
        if (got == 0) throw fail("the file became shorter while it was read");
        done += got;
    }
    return bytes;
}

}  // namespace office
