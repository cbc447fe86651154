#include "office/package/AtomicFile.h"

#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/WindowsError.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>

namespace office {
namespace {

std::string Reason(const std::filesystem::path& target, const char* what, DWORD error) {
    return "Cannot write '" + PathText(target) + "': " + what + " (" + WindowsErrorText(error) + ")";
}

// A new hidden-by-name file beside the document; CREATE_NEW never opens one
// that exists, so a clash only means another name.
HANDLE CreateTemporary(const std::filesystem::path& folder, const std::filesystem::path& shown,
                       std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[32];
        std::swprintf(suffix, 32, L".%06x", (GetCurrentProcessId() * 7919u + counter++ + GetTickCount()) & 0xffffffu);
        path = folder / (L"." + shown.filename().wstring() + suffix);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, DWORD(1) << 30));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr)) return false;
        if (wrote == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += wrote;
    }
    return true;
}

}  // namespace

// Windows has no call that flushes a whole file system for an ordinary user,
// so each file is flushed as it is written, whatever the caller asks.
TemporaryFile::TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& shown,
                             const ContentWriter& write, bool) {
    HANDLE file = CreateTemporary(folder, shown, path_);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        path_.clear();
        throw PackageError(Reason(shown, "cannot create a temporary file in its folder", error));
    }
    removedOnSignal_ = std::make_unique<TemporaryName>(path_);
    const char* failed = nullptr;
    DWORD error = 0;
    bool written = false;
    try {
        written = WriteInPieces(write, [&](std::string_view bytes) {
            if (WriteAll(file, bytes)) return true;
            error = GetLastError();
            return false;
        });
    } catch (...) {
        CloseHandle(file);
        Discard();
        throw;
    }
    if (!written) {
        failed = "writing failed";
    } else if (!FlushFileBuffers(file)) {
        failed = "flushing failed";
        error = GetLastError();
    }
    if (!CloseHandle(file) && !failed) {
        failed = "flushing failed";
        error = GetLastError();
    }
    if (failed) {
        Discard();
        throw PackageError(Reason(shown, failed, error));
    }
}

TemporaryFile::~TemporaryFile() { Discard(); }

void TemporaryFile::Discard() {
    if (!path_.empty()) DeleteFileW(path_.c_str());
    path_.clear();
    removedOnSignal_.reset();
}

// Without MOVEFILE_REPLACE_EXISTING the move fails when target exists.
int TemporaryFile::MoveTo(const std::filesystem::path& target) {
    if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return ErrnoFromWindowsError(GetLastError());
    }
    path_.clear();
    removedOnSignal_.reset();
    return 0;
}

// MOVEFILE_WRITE_THROUGH has made the new names durable already.
void SyncFolder(const std::filesystem::path&) {}

// Every file was flushed as it was written.
void FlushFileSystem(const std::filesystem::path&) {}

}  // namespace office
