#include <gtest/gtest.h>

#include <thread>

#include "automation/AutomationSession.h"
#include "tests/support/ScriptedServer.h"

namespace {

std::string StartFailure(int kind)
{
    AutomationSession session;
    try {
        session.StartApplication(kind);
    } catch (const COMException& e) {
        return e.message;
    }
    return "(started)";
}

TEST(AutomationSession, UnknownKindsAreRefusedBeforeAnyLookup)
{
    ScriptedServer word(u"Word.Application");
    EXPECT_EQ(StartFailure(0), "unrecognized Application defined");
    EXPECT_EQ(StartFailure(3), "unrecognized Application defined");
    EXPECT_EQ(word.Instances(), 0);
}

TEST(AutomationSession, UnregisteredProgIdFailsInTheClassLookup)
{
    ScopedClassRemoval noWord(u"Word.Application");
    ScopedClassRemoval noExcel(u"Excel.Application");
    EXPECT_EQ(StartFailure(WordApplication), "CLSIDFromProgID() failed");
    EXPECT_EQ(StartFailure(ExcelApplication), "CLSIDFromProgID() failed");
}

TEST(AutomationSession, RegisteredServerThatCannotStartNamesTheApplication)
{
    ScopedClassRegistration word(u"Word.Application", CO_E_SERVER_EXEC_FAILURE);
    ScopedClassRegistration excel(u"Excel.Application", CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(StartFailure(WordApplication), "Word not registered properly");
    EXPECT_EQ(StartFailure(ExcelApplication), "Excel not registered properly");
}

TEST(AutomationSession, ServerOnlyInProcessIsNotALocalServer)
{
    ScopedClassRegistration word(u"Word.Application", CLSCTX_INPROC_SERVER, [](REFIID, void**) { return S_OK; });
    EXPECT_EQ(StartFailure(WordApplication), "Word not registered properly");
}

TEST(AutomationSession, StartsTheRegisteredServerAndClosesCom)
{
    ScriptedServer excel(u"Excel.Application");
    {
        AutomationSession session;
        IDispatch* application = session.StartApplication(ExcelApplication);
        EXPECT_EQ(application, static_cast<IDispatch*>(&excel.Root()));
        EXPECT_EQ(excel.Instances(), 1);
        session.PutPropertyInt(application, u"Visible", 1);
        application->Release();
    }
    EXPECT_EQ(excel.Root().References(), 0u);
    // The session's CoUninitialize balanced its CoInitialize.
    IUnknown* object = nullptr;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), S_OK);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
              CO_E_NOTINITIALIZED);
}

TEST(AutomationSession, WorksOnTheThreadThatMadeIt)
{
    ScriptedServer word(u"Word.Application");
    std::string outcome;
    std::thread worker([&] {
        AutomationSession session;
        IDispatch* application = session.StartApplication(WordApplication);
        VARIANT result = session.CallMethod(application, u"Activate");
        VariantClear(&result);
        application->Release();
        outcome = "done";
    });
    worker.join();
    EXPECT_EQ(outcome, "done");
    EXPECT_EQ(word.CallTexts(), std::vector<std::string>{"call Application.Activate()"});
}

}  // namespace
