#include "platform/com/ClassRegistry.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/com/Apartment.h"

namespace {

struct Registry {
    std::mutex lock;
    std::vector<ClassRegistry::Entry> entries;
};

Registry& TheRegistry()
{
    // Never destroyed: a worker thread may still create objects while the process ends.
    static Registry* registry = new Registry;
    return *registry;
}

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

bool SameProgID(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

void Insert(Registry& registry, ClassRegistry::Entry entry)
{
    std::erase_if(registry.entries, [&](const ClassRegistry::Entry& e) {
        return SameProgID(e.progId, entry.progId) || IsEqualCLSID(e.clsid, entry.clsid);
    });
    registry.entries.push_back(std::move(entry));
}

}  // namespace

namespace ClassRegistry {

void Register(std::u16string_view progId, REFCLSID clsid, DWORD contexts, Factory factory)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    Insert(registry, Entry{std::u16string(progId), clsid, contexts, std::move(factory), S_OK});
}

void RegisterFailing(std::u16string_view progId, REFCLSID clsid, DWORD contexts, HRESULT failure)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    Insert(registry, Entry{std::u16string(progId), clsid, contexts, Factory(),
                           FAILED(failure) ? failure : CO_E_SERVER_EXEC_FAILURE});
}

bool Unregister(std::u16string_view progId)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    return std::erase_if(registry.entries, [&](const Entry& e) { return SameProgID(e.progId, progId); }) > 0;
}

std::optional<Entry> Snapshot(std::u16string_view progId)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (const Entry& e : registry.entries) {
        if (SameProgID(e.progId, progId)) {
            return e;
        }
    }
    return std::nullopt;
}

bool IsRegistered(std::u16string_view progId) { return Snapshot(progId).has_value(); }

void Restore(const Entry& entry)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    Insert(registry, entry);
}

CLSID ClsidForProgID(std::u16string_view progId)
{
    // FNV-1a over the lower-cased name, spread over the 128 bits.
    uint64_t h1 = 1469598103934665603ull;
    uint64_t h2 = 1099511628211ull;
    for (char16_t c : progId) {
        h1 = (h1 ^ Lower(c)) * 1099511628211ull;
        h2 = (h2 ^ (h1 >> 17)) * 1469598103934665603ull;
    }
    CLSID clsid{};
    clsid.Data1 = DWORD(h1 >> 32);
    clsid.Data2 = WORD(h1 >> 16);
    clsid.Data3 = WORD((h1 & 0x0fff) | 0x4000);
    for (int i = 0; i < 8; ++i) {
        clsid.Data4[i] = BYTE(h2 >> (8 * i));
    }
    clsid.Data4[0] = BYTE((clsid.Data4[0] & 0x3f) | 0x80);
    return clsid;
}

}  // namespace ClassRegistry

HRESULT WINAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid)
{
    if (lpszProgID == nullptr || lpclsid == nullptr) {
        return E_INVALIDARG;
    }
    const std::optional<ClassRegistry::Entry> entry = ClassRegistry::Snapshot(lpszProgID);
    if (!entry) {
        *lpclsid = CLSID_NULL;
        return CO_E_CLASSSTRING;
    }
    *lpclsid = entry->clsid;
    return S_OK;
}

HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv)
{
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!ComInitializedOnThisThread()) {
        return CO_E_NOTINITIALIZED;
    }
    if (pUnkOuter != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    ClassRegistry::Factory factory;
    HRESULT startFailure = S_OK;
    {
        Registry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        auto found = std::find_if(registry.entries.begin(), registry.entries.end(),
                                  [&](const ClassRegistry::Entry& e) { return IsEqualCLSID(e.clsid, rclsid); });
        if (found == registry.entries.end() || (found->contexts & dwClsContext) == 0) {
            return REGDB_E_CLASSNOTREG;
        }
        factory = found->factory;
        startFailure = found->startFailure;
    }
    if (!factory) {
        return startFailure;
    }
    const HRESULT hr = factory(riid, ppv);
    if (FAILED(hr)) {
        *ppv = nullptr;
    }
    return hr;
}
