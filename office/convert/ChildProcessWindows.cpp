#include "office/convert/ChildProcess.h"

#include "office/package/PathText.h"

#include <windows.h>

#include <cstdlib>

namespace office {
namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

struct Handle {
    HANDLE value = nullptr;
    ~Handle() {
        if (value && value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
};

}  // namespace

std::optional<std::filesystem::path> FindOnPath(const std::string& program) {
    const wchar_t* path = _wgetenv(L"PATH");
    const std::wstring folders = path ? path : L"";
    const std::filesystem::path name = PathFromUtf8(program);
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(L';', start);
        if (end == std::wstring::npos) end = folders.size();
        const std::wstring folder = folders.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        for (const wchar_t* extension : {L"", L".exe"}) {
            std::filesystem::path candidate = std::filesystem::path(folder) / name;
            candidate += extension;
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error)) return candidate;
        }
    }
    return std::nullopt;
}

// The child runs in a job object, the Windows form of a process group: when
// it ends or its time is up, whatever it started ends with it.
ChildOutcome RunWithTimeLimit(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                              const std::filesystem::path& log, std::chrono::milliseconds limit) {
    ChildOutcome outcome;
    std::wstring commandLine = Quoted(program.wstring());
    for (const std::string& argument : arguments) commandLine += L" " + Quoted(PathFromUtf8(argument).wstring());

    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle input{CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                             nullptr)};
    Handle output{CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
    Handle job{CreateJobObjectW(nullptr, nullptr)};
    if (input.value == INVALID_HANDLE_VALUE || output.value == INVALID_HANDLE_VALUE || !job.value) return outcome;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.value, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.value;
    startup.hStdOutput = output.value;
    startup.hStdError = output.value;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        return outcome;
    }
    Handle child{process.hProcess};
    Handle thread{process.hThread};
    outcome.started = true;
    if (!AssignProcessToJobObject(job.value, child.value)) {
        TerminateProcess(child.value, 1);
        WaitForSingleObject(child.value, INFINITE);
        return outcome;
    }
    ResumeThread(thread.value);

    const DWORD milliseconds = static_cast<DWORD>(std::min<long long>(limit.count(), INFINITE - 1));
    if (WaitForSingleObject(child.value, milliseconds) != WAIT_OBJECT_0) {
        TerminateJobObject(job.value, 1);
        WaitForSingleObject(child.value, INFINITE);
        outcome.timedOut = true;
        return outcome;
    }
    // Helpers it left behind in its job do not outlive the conversion.
    TerminateJobObject(job.value, 1);
    DWORD code = 0;
    if (GetExitCodeProcess(child.value, &code)) outcome.exitCode = static_cast<int>(code);
    return outcome;
}

}  // namespace office
