// What StartApplication throws for an application kind, or "(started)".
#pragma once

#include <string>

#include "automation/AutomationSession.h"

inline std::string StartFailure(int kind)
{
    AutomationSession session;
    try {
        IDispatch* application = session.StartApplication(kind);
        application->Release();
    } catch (const COMException& e) {
        return e.message;
    }
    return "(started)";
}
