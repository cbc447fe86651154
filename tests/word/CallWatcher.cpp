#include "tests/word/CallWatcher.h"

#include <atomic>
#include <map>

namespace {

class WatchedObject : public IDispatch {
public:
    WatchedObject(IDispatch* inner, std::shared_ptr<CallWatcher::Hook> hook) : inner(inner), hook(std::move(hook)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            AddRef();
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references;
        if (left == 0) {
            inner->Release();
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return inner->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        HRESULT result = inner->GetIDsOfNames(riid, names, count, lcid, ids);
        if (SUCCEEDED(result) && count == 1) {
            std::string name;
            for (const OLECHAR* c = names[0]; *c; ++c) name += static_cast<char>(*c);
            spelled[ids[0]] = name;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD kind, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        (*hook)(spelled[id], kind);
        HRESULT outcome = inner->Invoke(id, riid, lcid, kind, parameters, result, exception, argumentError);
        if (SUCCEEDED(outcome) && result && result->vt == VT_DISPATCH && result->pdispVal)
            result->pdispVal = new WatchedObject(result->pdispVal, hook);
        return outcome;
    }

private:
    ~WatchedObject() = default;

    IDispatch* inner;
    std::shared_ptr<CallWatcher::Hook> hook;
    std::atomic<ULONG> references{1};
    std::map<DISPID, std::string> spelled;
};

}  // namespace

CallWatcher::CallWatcher(Hook watch) : hook(std::make_shared<Hook>(std::move(watch))) {
    std::optional<ClassRegistry::Entry> real = ClassRegistry::Snapshot(u"Word.Application");
    ClassRegistry::Factory factory = real ? real->factory : ClassRegistry::Factory();
    registration = std::make_unique<ScopedClassRegistration>(
        u"Word.Application", CLSCTX_LOCAL_SERVER, [factory, shared = hook](REFIID riid, void** object) -> HRESULT {
            if (!factory) return REGDB_E_CLASSNOTREG;
            IDispatch* application = nullptr;
            HRESULT result = factory(IID_IDispatch, reinterpret_cast<void**>(&application));
            if (FAILED(result)) return result;
            IDispatch* watched = new WatchedObject(application, shared);
            result = watched->QueryInterface(riid, object);
            watched->Release();
            return result;
        });
}

CallWatcher::~CallWatcher() = default;
