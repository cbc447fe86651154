// The program's one way into the office application: opens COM on the
// calling thread, starts the application as an automation server, and makes
// every late-bound call through AutoWrap and its wrappers, which throw
// COMException on any failure.
#pragma once

#include <cstdint>

#include "automation/COMException.h"
#include <ole2.h>

// Which automation server StartApplication starts.
enum ApplicationKind { WordApplication = 1, ExcelApplication = 2 };

class AutomationSession {
public:
    AutomationSession();
    ~AutomationSession();

    AutomationSession(const AutomationSession&) = delete;
    AutomationSession& operator=(const AutomationSession&) = delete;

    IDispatch* StartApplication(int kind);

    // Arguments follow cArgs as VARIANTs, first parameter first.
    HRESULT AutoWrap(int autoType, VARIANT* pvResult, IDispatch* pDisp, LPCOLESTR ptName, int cArgs...);

    void PutPropertyInt(IDispatch* object, LPCOLESTR name, int32_t value);
    void PutPropertyText(IDispatch* object, LPCOLESTR name, const char* text);
    void PutPropertyVariant(IDispatch* object, LPCOLESTR name, VARIANT value);
    VARIANT GetProperty(IDispatch* object, LPCOLESTR name);
    VARIANT GetPropertyByText(IDispatch* object, LPCOLESTR name, LPCOLESTR text);
    VARIANT GetPropertyByInt(IDispatch* object, LPCOLESTR name, int32_t value);
    VARIANT GetPropertyByInts(IDispatch* object, LPCOLESTR name, int32_t a, int32_t b);
    VARIANT GetPropertyByVariants(IDispatch* object, LPCOLESTR name, VARIANT a, VARIANT b);
    VARIANT CallMethod(IDispatch* object, LPCOLESTR name);
    VARIANT CallMethodWithText(IDispatch* object, LPCOLESTR name, LPCOLESTR text);
    VARIANT CallMethodWithBool(IDispatch* object, LPCOLESTR name, bool flag);
    VARIANT CallMethodWithInt(IDispatch* object, LPCOLESTR name, int32_t value);
    VARIANT CallMethodWithInts(IDispatch* object, LPCOLESTR name, int32_t a, int32_t b);
    VARIANT CallMethodWithTextBoolIntText(IDispatch* object, LPCOLESTR name, LPCOLESTR a, bool b, int32_t c,
                                          LPCOLESTR d);
    VARIANT CallMethodWithTextBoolIntInt(IDispatch* object, LPCOLESTR name, LPCOLESTR a, bool b, int32_t c,
                                         int32_t d);

    // Builds a VT_BSTR variant from UTF-8 text; only vt and bstrVal are written.
    static void MakeTextVariant(VARIANT* variant, const char* text);

private:
    IDispatch* application;
};
