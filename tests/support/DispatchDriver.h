// Driving an office server the way the program does: IDispatch calls by
// member name, nothing else. A call that fails without an Outcome to report
// to goes to the failure report, which throws std::runtime_error naming the
// member unless a test has chosen to record the failure and go on.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "office/dispatch/ComPtr.h"
#include <ole2.h>

namespace dispatch_test {

// A VARIANT argument or result that frees itself.
class Var {
public:
    Var() { VariantInit(&value); }
    Var(int number);
    Var(double number);
    Var(bool flag);
    Var(const char* utf8);
    Var(const char16_t* text);
    Var(IDispatch* object);
    Var(const ComPtr<IDispatch>& object) : Var(object.Get()) {}
    Var(const Var& other);
    ~Var() { VariantClear(&value); }
    Var& operator=(const Var&) = delete;

    // An n-by-1 array of texts, as the program's column writes build it.
    static Var Column(const std::vector<std::string>& texts);

    std::string Text() const;  // a VT_BSTR result as UTF-8
    VARIANT value;
};

struct Outcome {
    HRESULT hr = S_OK;
    std::string description;  // EXCEPINFO text, UTF-8
};

// Where failures go. A report that returns lets the call go on with an empty
// result.
using FailureReport = void (*)(const std::string& what);
void ReportFailuresTo(FailureReport report);

// ProgID's class created as a local server, as the program starts one.
ComPtr<IDispatch> CreateServer(const char16_t* progId);

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args = {},
           Outcome* outcome = nullptr);
// A property get that must return an object (Nothing is a null one).
ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
// A method call; a result that is no object gives a null one.
ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
void Put(IDispatch* object, const char16_t* member, const Var& value);
// The failure of a call, or S_OK.
Outcome TryGet(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
Outcome TryCall(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
Outcome TryPut(IDispatch* object, const char16_t* member, const Var& value);

}  // namespace dispatch_test
