// The class registry stands in for the system registry: ProgID -> CLSID, and
// CLSID -> the factory that makes the object, with the CLSCTX_ contexts it
// serves. CLSIDFromProgID and CoCreateInstance look classes up here. ProgIDs
// compare case-insensitively, as registry keys do.
//
//   ClassRegistry::Register(u"Word.Application", CLSID_WordApplication, CLSCTX_LOCAL_SERVER,
//       [](REFIID riid, void** ppv) { return MakeApplication()->QueryInterface(riid, ppv); });
//
// The factory runs on the thread that calls CoCreateInstance. It should hand out
// the requested interface with one reference for the caller, or fail with an HRESULT.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/ole2.h"

namespace ClassRegistry {

using Factory = std::function<HRESULT(REFIID riid, void** ppv)>;

// One registered class, as Snapshot returns it and Restore puts it back.
struct Entry {
    std::u16string progId;
    CLSID clsid;
    DWORD contexts;
    Factory factory;          // empty for a class whose server fails to start
    HRESULT startFailure;     // what CoCreateInstance answers when factory is empty
};

// Registers the class, replacing any class under the same ProgID or CLSID.
void Register(std::u16string_view progId, REFCLSID clsid, DWORD contexts, Factory factory);

// Registers a class whose server cannot be started: CLSIDFromProgID succeeds,
// CoCreateInstance fails with `failure`.
void RegisterFailing(std::u16string_view progId, REFCLSID clsid, DWORD contexts,
                     HRESULT failure = CO_E_SERVER_EXEC_FAILURE);

// Removes the ProgID and its class. Returns false when nothing was registered.
bool Unregister(std::u16string_view progId);

bool IsRegistered(std::u16string_view progId);

std::optional<Entry> Snapshot(std::u16string_view progId);
void Restore(const Entry& entry);

// A CLSID derived from the ProgID's text, for classes that have no fixed one.
CLSID ClsidForProgID(std::u16string_view progId);

}  // namespace ClassRegistry

// Holds a registration for a scope (a test): on destruction the ProgID gets
// back whatever was registered under it before, or nothing.
class ScopedClassRegistration {
public:
    ScopedClassRegistration(std::u16string_view progId, DWORD contexts, ClassRegistry::Factory factory);
    ScopedClassRegistration(std::u16string_view progId, REFCLSID clsid, DWORD contexts,
                            ClassRegistry::Factory factory);
    // A class whose server fails to start.
    ScopedClassRegistration(std::u16string_view progId, HRESULT failure);
    ~ScopedClassRegistration();

    ScopedClassRegistration(const ScopedClassRegistration&) = delete;
    ScopedClassRegistration& operator=(const ScopedClassRegistration&) = delete;

    const CLSID& Clsid() const { return clsid; }

private:
    std::u16string progId;
    CLSID clsid;
    std::optional<ClassRegistry::Entry> previous;
};

// Hides a ProgID for a scope, so that it looks unregistered.
class ScopedClassRemoval {
public:
    explicit ScopedClassRemoval(std::u16string_view progId);
    ~ScopedClassRemoval();

    ScopedClassRemoval(const ScopedClassRemoval&) = delete;
    ScopedClassRemoval& operator=(const ScopedClassRemoval&) = delete;

private:
    std::optional<ClassRegistry::Entry> previous;
};
