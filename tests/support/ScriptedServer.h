// A scripted automation server for tests. It stands in for an office
// application: it registers under a ProgID of the test's choice, records every
// call made to any of its objects, and answers from a script.
//
//   ScriptedServer word(u"Word.Application");            // root object "Application"
//   ScriptedObject& documents = word.Object("Documents");
//   word.Root().Returns(u"Documents", Answer::Object(documents));
//   documents.Returns(u"Add", Answer::Object(word.Object("Document")));
//   word.Object("Document").Returns(u"Name", Answer::Text(u"Document1"))
//                          .Fails(u"Close", DISP_E_EXCEPTION, "document is locked");
//   ... run the code under test (CoCreateInstance finds the root) ...
//   EXPECT_THAT(word.CallTexts(), ElementsAre("put Application.Visible = 0",
//                                             "get Application.Documents",
//                                             "call Documents.Add(\"c:\\t.dotx\")", ...));
//
// Recorded calls (RecordedCall::Text):
//   get Object.Member            get Object.Member(1, "a")       a property get
//   call Object.Member()         call Object.Member(false)       a method
//   call/get Object.Member(...)                                  both flags at once
//   put Object.Member = 1        put Object.Member(2) = "x"      a put (named DISPID_PROPERTYPUT value)
//   put Object.Member = 1 (positional)                           a put without the named argument
//   lookup Object.Member failed                                  GetIDsOfNames refused the name
// Values: VT_I4 as 1, VT_BSTR as "text" (UTF-8, \" and \\ escaped; a null BSTR
// as BSTR:null), VT_BOOL
// as true/false, other types as TYPE:value (I2:1, R8:1.5, DATE:45000,
// UI1:2 ...), EMPTY, NULL, missing (an omitted optional argument), <Name> for
// a scripted object, <object> for any other, <Nothing> for a null object, and
// arrays as {...} nested by dimension, first dimension outermost.
//
// Members are matched without regard to case. A member without a script
// answers puts with S_OK and gets and methods with VT_EMPTY, unless
// RequireScripts() is on, when its name is unknown (DISP_E_UNKNOWNNAME).
// DISPIDs are handed out per object from 1 in the order names are first looked up
// (a call is recorded with the spelling of the latest lookup of its DISPID),
// unless the script fixes one with Dispid().
//
// The server holds one reference to each of its objects; References() shows
// how many more the code under test still holds (scripts hold none).
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <ole2.h>

#include "office/dispatch/OleString.h"
#include "tests/support/TestClass.h"

class ScriptedObject;
class ScriptedServer;

// One Invoke (or failed lookup) as the server saw it.
struct RecordedCall {
    std::string object;                    // the scripted object's name
    std::string member;                    // UTF-8, as the caller spelled it
    DISPID dispid = DISPID_UNKNOWN;
    WORD kind = 0;                         // the Invoke flags; 0 for a failed lookup
    LCID lcid = 0;                         // of Invoke, or of the lookup for kind 0
    std::vector<std::string> arguments;    // positional, first parameter first
    std::optional<std::string> value;      // a put's value
    bool namedValue = false;               // the value came as the named DISPID_PROPERTYPUT argument
    std::vector<std::string> slots;        // rgvarg as passed, slot 0 first
    std::vector<DISPID> namedArgs;         // rgdispidNamedArgs as passed
    bool exceptionInfoPassed = false;      // the caller passed an EXCEPINFO

    std::string Text() const;
};

// Readable form of a variant, as used in RecordedCall.
std::string DescribeVariant(const VARIANT& value);

// What a scripted member answers.
class Answer {
public:
    static Answer Int(LONG value);
    static Answer Text(std::u16string_view text);
    static Answer Bool(bool value);
    static Answer Double(double value);
    static Answer Empty();
    static Answer Nothing();                       // VT_DISPATCH holding null
    static Answer Object(ScriptedObject& object);
    static Answer Value(const VARIANT& value);     // copied
    // Invoke fails with `hr`; with a description, EXCEPINFO carries it when passed.
    static Answer Failure(HRESULT hr, std::string description = "");

    Answer(const Answer& other);
    Answer& operator=(const Answer& other);
    ~Answer();

    HRESULT Result() const { return hr; }
    const std::string& Description() const { return description; }
    // Writes the answer's value into an empty variant; the caller owns it.
    void CopyTo(VARIANT* out) const;

private:
    Answer();

    VARIANT value;
    ScriptedObject* object = nullptr;  // the server owns it; the answer holds no reference
    HRESULT hr = S_OK;
    std::string description;
};

class ScriptedObject : public IDispatch {
public:
    const std::string& Name() const { return name; }

    // The member answers every call with `answer`.
    ScriptedObject& Returns(std::u16string_view member, const Answer& answer);
    // One answer per call in turn; the last one repeats.
    ScriptedObject& ReturnsInTurn(std::u16string_view member, std::vector<Answer> answers);
    // The answer is computed from the call (its arguments, its kind).
    ScriptedObject& Answers(std::u16string_view member, std::function<Answer(const RecordedCall&)> answer);
    ScriptedObject& Fails(std::u16string_view member, HRESULT hr, std::string description = "");
    ScriptedObject& Dispid(std::u16string_view member, DISPID dispid);
    // GetIDsOfNames refuses the name even when scripts are not required.
    ScriptedObject& Unknown(std::u16string_view member);

    // References held beyond the server's own.
    ULONG References() const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override;

private:
    friend class ScriptedServer;
    struct Script;

    ScriptedObject(ScriptedServer& server, std::string name);
    virtual ~ScriptedObject();
    ScriptedObject(const ScriptedObject&) = delete;
    ScriptedObject& operator=(const ScriptedObject&) = delete;

    Script& ScriptFor(std::u16string_view member);
    void DropScripts();

    ScriptedServer& server;
    std::string name;
    std::map<OleString, std::unique_ptr<Script>> scripts;  // by lower-case name
    std::map<DISPID, std::string> spelled;                      // as first looked up
    std::atomic<ULONG> references{1};                           // the server's own
};

class ScriptedServer {
public:
    // Registers under `progId` (a TestClass) for the server's lifetime; an empty
    // ProgID registers nothing. Every CoCreateInstance hands out the root object.
    explicit ScriptedServer(std::u16string_view progId = u"", std::string rootName = "Application");
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    ScriptedObject& Root() { return Object(rootName); }
    // The object of that name, made on first use.
    ScriptedObject& Object(const std::string& name);

    void RequireScripts(bool on = true);

    std::vector<RecordedCall> Calls() const;
    std::vector<std::string> CallTexts() const;
    void ClearCalls();
    // How many times CoCreateInstance made the server hand out its root.
    int Instances() const;

private:
    friend class ScriptedObject;

    void Record(RecordedCall call);

    mutable std::recursive_mutex lock;
    std::string rootName;
    bool requireScripts = false;
    int instances = 0;
    std::vector<RecordedCall> calls;
    std::vector<std::pair<std::string, ScriptedObject*>> objects;
    std::unique_ptr<TestClass> registration;
};
