// The session against our own class registry: classes missing, only in
// process, and COM closed after the session (the test's registrations need
// no COM of their own here, unlike on Windows).
#include <gtest/gtest.h>

#include "platform/com/ClassRegistry.h"
#include "tests/automation/StartFailure.h"
#include "tests/support/ScriptedServer.h"

namespace {

TEST(AutomationSessionRegistry, UnregisteredProgIdFailsInTheClassLookup)
{
    ScopedClassRemoval noWord(u"Word.Application");
    ScopedClassRemoval noExcel(u"Excel.Application");
    EXPECT_EQ(StartFailure(WordApplication), "CLSIDFromProgID() failed");
    EXPECT_EQ(StartFailure(ExcelApplication), "CLSIDFromProgID() failed");
}

TEST(AutomationSessionRegistry, ServerOnlyInProcessIsNotALocalServer)
{
    ScopedClassRegistration word(u"Word.Application", CLSCTX_INPROC_SERVER, [](REFIID, void**) { return S_OK; });
    EXPECT_EQ(StartFailure(WordApplication), "Word not registered properly");
}

TEST(AutomationSessionRegistry, SessionEndClosesCom)
{
    ScriptedServer excel(u"Excel.Application");
    {
        AutomationSession session;
        session.StartApplication(ExcelApplication)->Release();
    }
    // The session's CoUninitialize balanced its CoInitialize.
    IUnknown* object = nullptr;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), S_OK);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
              CO_E_NOTINITIALIZED);
}

}  // namespace
