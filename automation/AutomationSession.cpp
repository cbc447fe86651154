#include "automation/AutomationSession.h"

AutomationSession::AutomationSession() : application(nullptr) { CoInitialize(nullptr); }

AutomationSession::~AutomationSession() { CoUninitialize(); }

IDispatch* AutomationSession::StartApplication(int kind)
{
    LPCOLESTR progId = nullptr;
    const char* failure = nullptr;
    switch (kind) {
    case WordApplication:
        progId = OLESTR("Word.Application");
        failure = "Word not registered properly";
        break;
    case ExcelApplication:
        progId = OLESTR("Excel.Application");
        failure = "Excel not registered properly";
        break;
    default:
        throw COMException("unrecognized Application defined");
    }

    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid))) {
        throw COMException("CLSIDFromProgID() failed");
    }
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&application)))) {
        throw COMException(failure);
    }
    return application;
}
