#include "office/localserver/LocalServer.h"

#include <shellapi.h>

#include <string>

#include "office/localserver/ServerCommand.h"
#include "office/localserver/ServerLifetime.h"
#include "office/localserver/ServerRegistration.h"
#include "office/localserver/StartingProcess.h"

namespace {

// A server that COM started but that nobody asked for an object ends after this.
constexpr UINT kUnusedServerMilliseconds = 120000;

struct Registered {
    ServedClass served;
    ClassFactory::Create create;
    DWORD cookie;
};

std::vector<Registered> registered;
bool anyServed = false;

// One application per process, as when the program and the servers share one
// on Linux: after the first, every class object is withdrawn so the next
// request starts a new process.
void RevokeClassObjects()
{
    anyServed = true;
    for (Registered& entry : registered) {
        if (entry.cookie != 0) {
            CoRevokeClassObject(entry.cookie);
            entry.cookie = 0;
        }
    }
}

// On standard error when there is one (a console, a pipe), else in a message box.
void Tell(const std::wstring& text, bool failed)
{
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_UNKNOWN) {
        const std::wstring line = L"tolvane-office: " + text + L"\n";
        const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
        DWORD written = 0;
        WriteFile(error, bytes.data(), static_cast<DWORD>(size - 1), &written, nullptr);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), L"tolvane-office", failed ? MB_ICONERROR : MB_ICONINFORMATION);
}

std::vector<ServedClass> Classes()
{
    std::vector<ServedClass> classes;
    for (const Registered& entry : registered) {
        classes.push_back(entry.served);
    }
    return classes;
}

std::wstring ScopeText(RegistryScope scope)
{
    return scope == RegistryScope::Machine ? L"for all users of this machine" : L"for this user";
}

int RegisterServer(RegistryScope scope)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    try {
        ServerRegistration(scope, Classes()).Register(path);
    } catch (const RegistrationError& error) {
        Tell(error.Text(), true);
        return 1;
    }
    std::wstring names;
    for (const Registered& entry : registered) {
        names += (names.empty() ? L"" : L" and ") + std::wstring(entry.served.progId);
    }
    Tell(L"registered " + names + L" " + ScopeText(scope) + L" (" + path + L")", false);
    return 0;
}

int UnregisterServer(RegistryScope scope)
{
    try {
        const std::vector<std::wstring> removed = ServerRegistration(scope, Classes()).Unregister();
        std::wstring names;
        for (const std::wstring& name : removed) {
            names += (names.empty() ? L"" : L", ") + name;
        }
        Tell(removed.empty() ? L"nothing of this server was registered " + ScopeText(scope)
                             : L"removed " + names + L" " + ScopeText(scope),
             false);
    } catch (const RegistrationError& error) {
        Tell(error.Text(), true);
        return 1;
    }
    return 0;
}

int Serve()
{
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(initialized)) {
        Tell(L"CoInitializeEx failed", true);
        return 1;
    }
    server_lifetime::Start();
    std::vector<ClassFactory> factories;
    factories.reserve(registered.size());
    for (Registered& entry : registered) {
        factories.emplace_back(entry.create, RevokeClassObjects);
        const HRESULT result = CoRegisterClassObject(entry.served.clsid, &factories.back(), CLSCTX_LOCAL_SERVER,
                                                     REGCLS_SINGLEUSE, &entry.cookie);
        if (FAILED(result)) {
            RevokeClassObjects();
            CoUninitialize();
            Tell(std::wstring(L"CoRegisterClassObject failed for ") + entry.served.progId, true);
            return 1;
        }
    }
    const UINT_PTR unusedTimer = SetTimer(nullptr, 0, kUnusedServerMilliseconds, nullptr);
    const HANDLE starter = OpenStartingProcess();
    for (bool serving = true; serving;) {
        if (MsgWaitForMultipleObjects(starter != nullptr ? 1 : 0, &starter, FALSE, INFINITE, QS_ALLINPUT) ==
            WAIT_OBJECT_0 && starter != nullptr) {
            break;
        }
        MSG message;
        while (serving && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                serving = false;
            } else if (message.hwnd == nullptr && message.message == server_lifetime::kLastLockGone) {
                serving = server_lifetime::Locks() != 0;
            } else if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == unusedTimer) {
                KillTimer(nullptr, unusedTimer);
                serving = anyServed;
            } else {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    if (starter != nullptr) {
        CloseHandle(starter);
    }
    RevokeClassObjects();
    CoUninitialize();
    return 0;
}

}  // namespace

int RunLocalServer(const std::vector<ServedFactory>& classes)
{
    for (const ServedFactory& served : classes) {
        registered.push_back(Registered{served.served, served.create, 0});
    }
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; argv != nullptr && i < count; ++i) {
        arguments.emplace_back(argv[i]);
    }
    LocalFree(argv);
    const ServerCommand command = ParseServerCommand(arguments);
    switch (command.action) {
    case ServerCommand::Serve:
        return Serve();
    case ServerCommand::Register:
        return RegisterServer(command.scope);
    case ServerCommand::Unregister:
        return UnregisterServer(command.scope);
    case ServerCommand::Usage:
        break;
    }
    Tell(command.problem + L"\nusage: tolvane-office.exe /RegServer [/machine] | /UnregServer [/machine]\n"
                           L"(COM starts it with -Embedding)",
         true);
    return 2;
}
