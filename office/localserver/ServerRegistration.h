// Registering the local server's classes in the registry, per user
// (HKCU\Software\Classes) or for the machine (HKLM\Software\Classes, which is
// HKEY_CLASSES_ROOT). A name that already belongs to another server is never
// taken over, and unregistering removes only keys that name our class ids.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "office/localserver/ServedClass.h"

enum class RegistryScope { User, Machine };

class RegistrationError : public std::runtime_error {
public:
    explicit RegistrationError(std::wstring text);
    const std::wstring& Text() const { return text; }

private:
    std::wstring text;
};

class ServerRegistration {
public:
    ServerRegistration(RegistryScope scope, std::vector<ServedClass> classes);

    // "Word.Application (registered to {…})" for each name another server holds
    // in any registry view the program may read; empty when registering is safe.
    std::vector<std::wstring> ForeignNames() const;

    // Refuses, changing nothing, when ForeignNames() is not empty; a failure
    // halfway removes what it wrote. Throws RegistrationError.
    void Register(const std::wstring& serverPath) const;

    // The names and class ids removed; names held by another server stay.
    std::vector<std::wstring> Unregister() const;

private:
    HKEY OpenRoot(REGSAM access) const;

    RegistryScope scope;
    std::vector<ServedClass> classes;
};

std::wstring ClsidText(const CLSID& clsid);
