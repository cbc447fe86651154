#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "tests/automation/StartFailure.h"
#include "tests/support/ScriptedServer.h"

namespace {

TEST(AutomationSession, UnknownKindsAreRefusedBeforeAnyLookup)
{
    ScriptedServer word(u"Word.Application");
    EXPECT_EQ(StartFailure(0), "unrecognized Application defined");
    EXPECT_EQ(StartFailure(3), "unrecognized Application defined");
    EXPECT_EQ(word.Instances(), 0);
}

TEST(AutomationSession, RegisteredServerThatCannotStartNamesTheApplication)
{
    TestClass word(u"Word.Application");
    TestClass excel(u"Excel.Application");
    EXPECT_EQ(StartFailure(WordApplication), "Word not registered properly");
    EXPECT_EQ(StartFailure(ExcelApplication), "Excel not registered properly");
}

TEST(AutomationSession, StartsTheRegisteredServer)
{
    ScriptedServer excel(u"Excel.Application");
    {
        AutomationSession session;
        IDispatch* application = session.StartApplication(ExcelApplication);
        EXPECT_EQ(application, static_cast<IDispatch*>(&excel.Root()));
        EXPECT_EQ(excel.Instances(), 1);
        session.PutPropertyInt(application, OLESTR("Visible"), 1);
        application->Release();
    }
    EXPECT_EQ(excel.Root().References(), 0u);
}

TEST(AutomationSession, WorksOnTheThreadThatMadeIt)
{
    std::vector<std::string> calls;
    // The server lives on the worker too: on Windows it serves its own apartment directly.
    std::thread worker([&] {
        ScriptedServer word(u"Word.Application");
        AutomationSession session;
        IDispatch* application = session.StartApplication(WordApplication);
        VARIANT result = session.CallMethod(application, OLESTR("Activate"));
        VariantClear(&result);
        application->Release();
        calls = word.CallTexts();
    });
    worker.join();
    EXPECT_EQ(calls, std::vector<std::string>{"call Application.Activate()"});
}

}  // namespace
