// tolvane-office.exe: the word processor and the spreadsheet as one local COM
// server.
#include <windows.h>

#include "office/dispatch/DispatchBase.h"
#include "office/localserver/LocalServer.h"
#include "office/localserver/ServerLifetime.h"
#include "office/spreadsheet/Objects.h"
#include "office/wordprocessor/ApplicationObject.h"

namespace {

HRESULT CreateWordProcessor(REFIID riid, void** object)
{
    auto application = MakeObject<office::word::ApplicationObject>();
    return application->QueryInterface(riid, object);
}

HRESULT CreateSpreadsheet(REFIID riid, void** object)
{
    ComPtr<IDispatch> application = office::spreadsheet::MakeApplication();
    return application->QueryInterface(riid, object);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Every automation object, the applications and all they make, holds the server.
    DispatchBase::WatchLifetimes(server_lifetime::Lock, server_lifetime::Unlock);
    return RunLocalServer({{kWordProcessorClass, CreateWordProcessor}, {kSpreadsheetClass, CreateSpreadsheet}});
}
