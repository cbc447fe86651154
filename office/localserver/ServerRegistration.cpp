#include "office/localserver/ServerRegistration.h"

#include <utility>

namespace {

std::wstring SystemMessage(LSTATUS status)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(status);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
        message.pop_back();
    }
    return message;
}

// The default value of root\path; false when the key or the value is missing.
bool ReadDefault(HKEY root, const std::wstring& path, std::wstring& value)
{
    wchar_t buffer[512];
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, &type, buffer, &size) != ERROR_SUCCESS) {
        return false;
    }
    value.assign(buffer);
    return true;
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void WriteDefault(HKEY root, const std::wstring& path, const std::wstring& value)
{
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        throw RegistrationError(L"cannot write the registry key " + path + L": " + SystemMessage(status));
    }
}

bool SameClsid(const std::wstring& text, const CLSID& clsid)
{
    CLSID read{};
    return CLSIDFromString(text.c_str(), &read) == NOERROR && IsEqualCLSID(read, clsid);
}

}  // namespace

RegistrationError::RegistrationError(std::wstring text) : std::runtime_error("registration failed"), text(std::move(text))
{
}

std::wstring ClsidText(const CLSID& clsid)
{
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return text;
}

ServerRegistration::ServerRegistration(RegistryScope scope, std::vector<ServedClass> classes)
    : scope(scope), classes(std::move(classes))
{
}

HKEY ServerRegistration::OpenRoot(REGSAM access) const
{
    HKEY root = nullptr;
    const HKEY hive = scope == RegistryScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const LSTATUS status =
        RegCreateKeyExW(hive, L"Software\\Classes", 0, nullptr, 0, access, nullptr, &root, nullptr);
    if (status == ERROR_ACCESS_DENIED && scope == RegistryScope::Machine) {
        throw RegistrationError(L"registering for the whole machine needs an administrator: " +
                                SystemMessage(status));
    }
    if (status != ERROR_SUCCESS) {
        throw RegistrationError(L"cannot open the registry key Software\\Classes: " + SystemMessage(status));
    }
    return root;
}

std::vector<std::wstring> ServerRegistration::ForeignNames() const
{
    // Windows merges the user's classes into HKEY_CLASSES_ROOT, Wine does not:
    // a name in either one is what some program may find.
    HKEY userClasses = nullptr;
    HKEY machineClasses = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, KEY_READ, &userClasses);
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_READ, &machineClasses);
    std::vector<std::wstring> foreign;
    for (const ServedClass& served : classes) {
        for (HKEY view : {HKEY_CLASSES_ROOT, userClasses, machineClasses}) {
            if (view == nullptr || !KeyExists(view, served.progId)) {
                continue;
            }
            std::wstring owner;
            if (!ReadDefault(view, std::wstring(served.progId) + L"\\CLSID", owner)) {
                foreign.push_back(std::wstring(served.progId) + L" (registered without a class id)");
                break;
            }
            if (!SameClsid(owner, served.clsid)) {
                foreign.push_back(std::wstring(served.progId) + L" (registered to " + owner + L")");
                break;
            }
        }
    }
    for (HKEY opened : {userClasses, machineClasses}) {
        if (opened != nullptr) {
            RegCloseKey(opened);
        }
    }
    return foreign;
}

void ServerRegistration::Register(const std::wstring& serverPath) const
{
    const std::vector<std::wstring> foreign = ForeignNames();
    if (!foreign.empty()) {
        std::wstring names;
        for (const std::wstring& name : foreign) {
            names += (names.empty() ? L"" : L", ") + name;
        }
        throw RegistrationError(L"another server already answers to " + names +
                                L"; an installed office suite is never replaced, nothing was registered");
    }
    const HKEY root = OpenRoot(KEY_READ | KEY_WRITE);
    try {
        for (const ServedClass& served : classes) {
            const std::wstring clsidKey = L"CLSID\\" + ClsidText(served.clsid);
            WriteDefault(root, clsidKey, served.description);
            WriteDefault(root, clsidKey + L"\\LocalServer32", L"\"" + serverPath + L"\"");
            WriteDefault(root, clsidKey + L"\\ProgID", served.progId);
            // The class id first: a name key left by a failure halfway is then
            // still recognisably ours, and removed.
            WriteDefault(root, std::wstring(served.progId) + L"\\CLSID", ClsidText(served.clsid));
            WriteDefault(root, served.progId, served.description);
        }
    } catch (const RegistrationError&) {
        RegCloseKey(root);
        Unregister();
        throw;
    }
    RegCloseKey(root);
}

std::vector<std::wstring> ServerRegistration::Unregister() const
{
    const HKEY root = OpenRoot(KEY_READ | KEY_WRITE | DELETE);
    std::vector<std::wstring> removed;
    for (const ServedClass& served : classes) {
        std::wstring owner;
        if (ReadDefault(root, std::wstring(served.progId) + L"\\CLSID", owner) && SameClsid(owner, served.clsid) &&
            RegDeleteTreeW(root, served.progId) == ERROR_SUCCESS) {
            removed.push_back(served.progId);
        }
        const std::wstring clsidKey = L"CLSID\\" + ClsidText(served.clsid);
        if (KeyExists(root, clsidKey) && RegDeleteTreeW(root, clsidKey.c_str()) == ERROR_SUCCESS) {
            removed.push_back(clsidKey);
        }
    }
    RegCloseKey(root);
    return removed;
}
