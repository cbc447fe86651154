// The local server's own parts against the real registry and COM: its
// registration never takes over a name another server holds and removes only
// what it wrote; the command line; the class factory's lock count.
#include <gtest/gtest.h>

#include <string>

#include "office/localserver/ClassFactory.h"
#include "office/localserver/ServerCommand.h"
#include "office/localserver/ServerLifetime.h"
#include "office/localserver/ServerRegistration.h"

namespace {

// Names of our own, so the test never meets a real registration.
const ServedClass kFirst = {L"Tolvane.TestFirst",
                            {0x6c1b8f8e, 0x3f0a, 0x4d52, {0x9e, 0x11, 0x02, 0x7a, 0x44, 0x5b, 0x90, 0x01}},
                            L"first test class"};
const ServedClass kSecond = {L"Tolvane.TestSecond",
                             {0x6c1b8f8e, 0x3f0a, 0x4d52, {0x9e, 0x11, 0x02, 0x7a, 0x44, 0x5b, 0x90, 0x02}},
                             L"second test class"};
const wchar_t kOtherClsid[] = L"{11111111-2222-3333-4444-555555555555}";
const wchar_t kServerPath[] = L"C:\\Program Files\\Tolvane\\tolvane-office.exe";

HKEY Classes(RegistryScope scope)
{
    HKEY root = nullptr;
    RegCreateKeyExW(scope == RegistryScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, L"Software\\Classes",
                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
    return root;
}

// The default value of a key, or "(missing)".
std::wstring Read(RegistryScope scope, const std::wstring& path)
{
    const HKEY root = Classes(scope);
    wchar_t buffer[512];
    DWORD size = sizeof(buffer);
    const bool found = RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
    RegCloseKey(root);
    return found ? std::wstring(buffer) : L"(missing)";
}

bool Exists(RegistryScope scope, const std::wstring& path)
{
    const HKEY root = Classes(scope);
    HKEY key = nullptr;
    const bool found = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found) {
        RegCloseKey(key);
    }
    RegCloseKey(root);
    return found;
}

void Write(RegistryScope scope, const std::wstring& path, const std::wstring& value)
{
    const HKEY root = Classes(scope);
    HKEY key = nullptr;
    RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    RegCloseKey(root);
}

void Remove(RegistryScope scope, const std::wstring& path)
{
    const HKEY root = Classes(scope);
    RegDeleteTreeW(root, path.c_str());
    RegCloseKey(root);
}

class Registration : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (RegistryScope scope : {RegistryScope::User, RegistryScope::Machine}) {
            for (const ServedClass& served : {kFirst, kSecond}) {
                Remove(scope, served.progId);
                Remove(scope, L"CLSID\\" + ClsidText(served.clsid));
            }
        }
    }

    const std::wstring firstKey = L"CLSID\\" + ClsidText(kFirst.clsid);
    const std::wstring secondKey = L"CLSID\\" + ClsidText(kSecond.clsid);
};

TEST_F(Registration, WritesTheNamesAndClassesInTheScopeAskedForAndRemovesThem) {
    for (RegistryScope scope : {RegistryScope::User, RegistryScope::Machine}) {
        const RegistryScope other = scope == RegistryScope::User ? RegistryScope::Machine : RegistryScope::User;
        ServerRegistration registration(scope, {kFirst, kSecond});
        registration.Register(kServerPath);
        EXPECT_EQ(ClsidText(kFirst.clsid), Read(scope, L"Tolvane.TestFirst\\CLSID"));
        EXPECT_EQ(ClsidText(kSecond.clsid), Read(scope, L"Tolvane.TestSecond\\CLSID"));
        EXPECT_EQ(std::wstring(L"\"") + kServerPath + L"\"", Read(scope, firstKey + L"\\LocalServer32"));
        EXPECT_EQ(L"Tolvane.TestSecond", Read(scope, secondKey + L"\\ProgID"));
        EXPECT_FALSE(Exists(other, L"Tolvane.TestFirst"));

        // Registering again, say from another folder, is ours to update.
        registration.Register(L"D:\\tolvane-office.exe");
        EXPECT_EQ(L"\"D:\\tolvane-office.exe\"", Read(scope, firstKey + L"\\LocalServer32"));

        EXPECT_EQ(4u, registration.Unregister().size());
        EXPECT_FALSE(Exists(scope, L"Tolvane.TestFirst"));
        EXPECT_FALSE(Exists(scope, secondKey));
        EXPECT_TRUE(registration.Unregister().empty());
    }
}

TEST_F(Registration, RegisteredMachineWideTheNameLeadsToTheClass) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ServerRegistration(RegistryScope::Machine, {kFirst}).Register(kServerPath);
    CLSID clsid{};
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Tolvane.TestFirst", &clsid));
    EXPECT_TRUE(IsEqualCLSID(kFirst.clsid, clsid));
    CoUninitialize();
}

TEST_F(Registration, ANameHeldByAnotherServerIsRefusedAndNothingChanges) {
    // Another server in any view the program may read: the machine's classes
    // when registering for the user (an installed suite), the user's when
    // registering for the machine, and a name without a class id at all.
    struct Case {
        RegistryScope held, registering;
        const wchar_t* clsid;
    };
    for (const Case& c : {Case{RegistryScope::Machine, RegistryScope::User, kOtherClsid},
                          Case{RegistryScope::User, RegistryScope::Machine, kOtherClsid},
                          Case{RegistryScope::User, RegistryScope::User, nullptr}}) {
        if (c.clsid != nullptr) {
            Write(c.held, L"Tolvane.TestSecond\\CLSID", c.clsid);
        } else {
            Write(c.held, L"Tolvane.TestSecond", L"someone else's");
        }
        ServerRegistration registration(c.registering, {kFirst, kSecond});
        ASSERT_EQ(1u, registration.ForeignNames().size());
        try {
            registration.Register(kServerPath);
            ADD_FAILURE() << "registered over another server";
        } catch (const RegistrationError& error) {
            EXPECT_NE(std::wstring::npos, error.Text().find(L"Tolvane.TestSecond")) << error.what();
            if (c.clsid != nullptr) {
                EXPECT_NE(std::wstring::npos, error.Text().find(kOtherClsid));
            }
        }
        EXPECT_FALSE(Exists(c.registering, L"Tolvane.TestFirst"));
        EXPECT_FALSE(Exists(c.registering, firstKey));
        EXPECT_FALSE(Exists(c.registering, secondKey));

        registration.Unregister();
        EXPECT_EQ(c.clsid != nullptr ? c.clsid : L"(missing)", Read(c.held, L"Tolvane.TestSecond\\CLSID"));
        Remove(c.held, L"Tolvane.TestSecond");
    }
}

TEST_F(Registration, UnregisteringLeavesANameThatWasTakenOverSince) {
    ServerRegistration registration(RegistryScope::User, {kFirst, kSecond});
    registration.Register(kServerPath);
    Write(RegistryScope::User, L"Tolvane.TestSecond\\CLSID", kOtherClsid);
    const std::vector<std::wstring> removed = registration.Unregister();
    EXPECT_EQ(3u, removed.size());
    EXPECT_EQ(kOtherClsid, Read(RegistryScope::User, L"Tolvane.TestSecond\\CLSID"));
    EXPECT_FALSE(Exists(RegistryScope::User, L"Tolvane.TestFirst"));
}

TEST(ServerCommandLine, ReadsTheActionAndTheScope) {
    struct Case {
        std::vector<std::wstring> arguments;
        ServerCommand::Action action;
        RegistryScope scope;
    };
    for (const Case& c : {Case{{L"-Embedding"}, ServerCommand::Serve, RegistryScope::User},
                          Case{{L"/Embedding"}, ServerCommand::Serve, RegistryScope::User},
                          Case{{L"/regserver"}, ServerCommand::Register, RegistryScope::User},
                          Case{{L"/RegServer", L"/machine"}, ServerCommand::Register, RegistryScope::Machine},
                          Case{{L"-MACHINE", L"-UnregServer"}, ServerCommand::Unregister, RegistryScope::Machine},
                          Case{{}, ServerCommand::Usage, RegistryScope::User},
                          Case{{L"/machine"}, ServerCommand::Usage, RegistryScope::Machine},
                          Case{{L"/RegServer", L"/UnregServer"}, ServerCommand::Usage, RegistryScope::User},
                          Case{{L"RegServer"}, ServerCommand::Usage, RegistryScope::User},
                          Case{{L"/RegServerX"}, ServerCommand::Usage, RegistryScope::User}}) {
        const ServerCommand command = ParseServerCommand(c.arguments);
        EXPECT_EQ(c.action, command.action) << (c.arguments.empty() ? L"" : c.arguments[0]).size();
        EXPECT_EQ(c.scope, command.scope);
        EXPECT_EQ(c.action == ServerCommand::Usage, !command.problem.empty());
    }
}

// An object that holds a server lock while it lives, as every automation object does.
class Counted : public IUnknown {
public:
    Counted() { server_lifetime::Lock(); }
    virtual ~Counted() { server_lifetime::Unlock(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!IsEqualIID(riid, IID_IUnknown)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

private:
    ULONG references = 1;
};

int served = 0;

HRESULT MakeCounted(REFIID riid, void** object)
{
    Counted* made = new Counted;
    const HRESULT result = made->QueryInterface(riid, object);
    made->Release();
    return result;
}

bool LastLockGonePosted()
{
    MSG message;
    return PeekMessageW(&message, nullptr, server_lifetime::kLastLockGone, server_lifetime::kLastLockGone,
                        PM_REMOVE) != FALSE;
}

TEST(ClassFactory, TheServerEndsOnlyWhenTheLastObjectAndLockAreGone) {
    server_lifetime::Start();
    ClassFactory factory(MakeCounted, [] { ++served; });

    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, factory.CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(1, served);
    EXPECT_EQ(1, server_lifetime::Locks());
    factory.LockServer(TRUE);
    object->Release();
    EXPECT_FALSE(LastLockGonePosted());
    factory.LockServer(FALSE);
    EXPECT_EQ(0, server_lifetime::Locks());
    EXPECT_TRUE(LastLockGonePosted());

    // A refused interface frees the object at once: the caller hears why,
    // nothing counts as served, and no lock is left behind.
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory.CreateInstance(nullptr, IID_IDispatch, &refused));
    EXPECT_EQ(nullptr, refused);
    EXPECT_EQ(1, served);
    EXPECT_EQ(0, server_lifetime::Locks());

    Counted outer;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory.CreateInstance(&outer, IID_IUnknown, &refused));
    LastLockGonePosted();
}

}  // namespace
