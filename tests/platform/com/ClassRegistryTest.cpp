#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ClassRegistry.h"
#include "platform/com/ole2.h"
#include "tests/support/ScriptedServer.h"

namespace {

// Opens and closes COM on the test's thread.
struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

HRESULT Create(std::u16string_view progId, DWORD context, IDispatch** out)
{
    CLSID clsid;
    const HRESULT found = CLSIDFromProgID(std::u16string(progId).c_str(), &clsid);
    if (FAILED(found)) {
        return found;
    }
    return CoCreateInstance(clsid, nullptr, context, IID_IDispatch, reinterpret_cast<void**>(out));
}

TEST(Apartment, CountsPerThread)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    HRESULT other = S_OK;
    std::thread([&] {
        other = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(other, S_OK);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many is harmless
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

TEST(ClassRegistry, CreateNeedsComOnTheCallingThread)
{
    ScriptedServer server(u"Tolvane.Test");
    IDispatch* object = nullptr;
    EXPECT_EQ(Create(u"Tolvane.Test", CLSCTX_LOCAL_SERVER, &object), CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    {
        ComScope com;
        ASSERT_EQ(Create(u"Tolvane.Test", CLSCTX_LOCAL_SERVER, &object), S_OK);
        object->Release();
        HRESULT elsewhere = S_OK;
        std::thread([&] {
            IDispatch* other = nullptr;
            elsewhere = Create(u"Tolvane.Test", CLSCTX_LOCAL_SERVER, &other);
        }).join();
        EXPECT_EQ(elsewhere, CO_E_NOTINITIALIZED);
    }
    EXPECT_EQ(server.Instances(), 1);
}

TEST(ClassRegistry, ProgIdsMatchWithoutRegardToCase)
{
    ScriptedServer server(u"Tolvane.Test");
    CLSID a;
    CLSID b;
    ASSERT_EQ(CLSIDFromProgID(u"Tolvane.Test", &a), S_OK);
    ASSERT_EQ(CLSIDFromProgID(u"TOLVANE.test", &b), S_OK);
    EXPECT_TRUE(IsEqualCLSID(a, b));
    EXPECT_EQ(CLSIDFromProgID(u"Tolvane.Other", &b), CO_E_CLASSSTRING);
}

TEST(ClassRegistry, CreationFailuresCarryTheirCodes)
{
    ComScope com;
    IDispatch* object = nullptr;
    {
        ScopedClassRegistration broken(u"Tolvane.Broken", CO_E_SERVER_EXEC_FAILURE);
        EXPECT_TRUE(ClassRegistry::IsRegistered(u"Tolvane.Broken"));
        EXPECT_EQ(Create(u"Tolvane.Broken", CLSCTX_LOCAL_SERVER, &object), CO_E_SERVER_EXEC_FAILURE);
    }
    EXPECT_FALSE(ClassRegistry::IsRegistered(u"Tolvane.Broken"));

    ScriptedServer server(u"Tolvane.Test");
    const CLSID unknown = ClassRegistry::ClsidForProgID(u"Tolvane.Nowhere");
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    CLSID clsid;
    CLSIDFromProgID(u"Tolvane.Test", &clsid);
    ScriptedServer outer;
    EXPECT_EQ(CoCreateInstance(clsid, &outer.Root(), CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&object)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, nullptr), E_POINTER);
    const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, other, reinterpret_cast<void**>(&object)), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(server.Root().References(), 0u);
}

TEST(ClassRegistry, ContextMustBeOneTheClassServes)
{
    ComScope com;
    ScopedClassRegistration local(u"Tolvane.Local", CLSCTX_LOCAL_SERVER, [](REFIID, void** ppv) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    });
    IDispatch* object = nullptr;
    EXPECT_EQ(Create(u"Tolvane.Local", CLSCTX_INPROC_SERVER, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(Create(u"Tolvane.Local", CLSCTX_ALL, &object), E_NOINTERFACE);
}

TEST(ClassRegistry, ScopedRegistrationsRestoreWhatWasThere)
{
    ComScope com;
    ScriptedServer real(u"Tolvane.Test", "Real");
    {
        ScopedClassRemoval hidden(u"Tolvane.Test");
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(u"Tolvane.Test", &clsid), CO_E_CLASSSTRING);
    }
    {
        ScriptedServer standIn(u"Tolvane.Test", "StandIn");
        IDispatch* object = nullptr;
        ASSERT_EQ(Create(u"Tolvane.Test", CLSCTX_LOCAL_SERVER, &object), S_OK);
        EXPECT_EQ(object, static_cast<IDispatch*>(&standIn.Root()));
        object->Release();
    }
    IDispatch* object = nullptr;
    ASSERT_EQ(Create(u"Tolvane.Test", CLSCTX_LOCAL_SERVER, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDispatch*>(&real.Root()));
    object->Release();
}

}  // namespace
