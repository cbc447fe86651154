#include <algorithm>

#include "office/dispatch/MemberName.h"
#include "tests/support/OleText.h"
#include "tests/support/ScriptedServer.h"

struct ScriptedObject::Script {
    DISPID dispid = DISPID_UNKNOWN;
    bool unknown = false;
    std::vector<Answer> answers;
    size_t next = 0;
    std::function<Answer(const RecordedCall&)> compute;

    bool Scripted() const { return !answers.empty() || compute; }
};

ScriptedObject::ScriptedObject(ScriptedServer& server, std::string name) : server(server), name(std::move(name)) {}

ScriptedObject::~ScriptedObject() = default;

ScriptedObject::Script& ScriptedObject::ScriptFor(std::u16string_view member)
{
    std::unique_ptr<Script>& script = scripts[LowerCaseName(ToOle(member))];
    if (!script) {
        script = std::make_unique<Script>();
    }
    return *script;
}

void ScriptedObject::DropScripts()
{
    std::lock_guard guard(server.lock);
    scripts.clear();
}

ScriptedObject& ScriptedObject::Returns(std::u16string_view member, const Answer& answer)
{
    return ReturnsInTurn(member, {answer});
}

ScriptedObject& ScriptedObject::ReturnsInTurn(std::u16string_view member, std::vector<Answer> answers)
{
    std::lock_guard guard(server.lock);
    Script& script = ScriptFor(member);
    script.answers = std::move(answers);
    script.next = 0;
    script.compute = nullptr;
    return *this;
}

ScriptedObject& ScriptedObject::Answers(std::u16string_view member, std::function<Answer(const RecordedCall&)> answer)
{
    std::lock_guard guard(server.lock);
    Script& script = ScriptFor(member);
    script.answers.clear();
    script.compute = std::move(answer);
    return *this;
}

ScriptedObject& ScriptedObject::Fails(std::u16string_view member, HRESULT hr, std::string description)
{
    return Returns(member, Answer::Failure(hr, std::move(description)));
}

ScriptedObject& ScriptedObject::Dispid(std::u16string_view member, DISPID dispid)
{
    std::lock_guard guard(server.lock);
    ScriptFor(member).dispid = dispid;
    spelled[dispid] = TextToUtf8(member);
    return *this;
}

ScriptedObject& ScriptedObject::Unknown(std::u16string_view member)
{
    std::lock_guard guard(server.lock);
    ScriptFor(member).unknown = true;
    return *this;
}

ULONG ScriptedObject::References() const { return references - 1; }

// Not the servers' dispatch base: the test support builds for Windows without the office libraries.
HRESULT ScriptedObject::QueryInterface(REFIID riid, void** ppvObject)
{
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG ScriptedObject::AddRef() { return ++references; }

ULONG ScriptedObject::Release()
{
    const ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ScriptedObject::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr) {
        return E_INVALIDARG;
    }
    *pctinfo = 0;
    return S_OK;
}

HRESULT ScriptedObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != nullptr) {
        *ppTInfo = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT ScriptedObject::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId)
{
    if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0 || rgszNames[0] == nullptr) {
        return E_INVALIDARG;
    }
    std::lock_guard guard(server.lock);
    const std::u16string member = FromOle(rgszNames[0]);
    const auto found = scripts.find(LowerCaseName(rgszNames[0]));
    const Script* existing = found == scripts.end() ? nullptr : found->second.get();
    if ((existing != nullptr && existing->unknown) ||
        (server.requireScripts && (existing == nullptr || !existing->Scripted()))) {
        RecordedCall lookup;
        lookup.object = name;
        lookup.member = TextToUtf8(member);
        lookup.lcid = lcid;
        server.Record(std::move(lookup));
        rgDispId[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    Script& script = ScriptFor(member);
    if (script.dispid == DISPID_UNKNOWN) {
        DISPID next = 1;
        while (spelled.count(next) != 0 ||
               std::any_of(scripts.begin(), scripts.end(), [&](const auto& s) { return s.second->dispid == next; })) {
            ++next;
        }
        script.dispid = next;
    }
    spelled[script.dispid] = TextToUtf8(member);  // the latest lookup names the next Invoke
    rgDispId[0] = script.dispid;
    for (UINT i = 1; i < cNames; ++i) {
        rgDispId[i] = DISPID_UNKNOWN;
    }
    return cNames > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT ScriptedObject::Invoke(DISPID dispIdMember, REFIID, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                               VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT*)
{
    if (pDispParams == nullptr || (pDispParams->cArgs > 0 && pDispParams->rgvarg == nullptr)) {
        return E_INVALIDARG;
    }
    RecordedCall call;
    call.object = name;
    call.dispid = dispIdMember;
    call.kind = wFlags;
    call.lcid = lcid;
    call.exceptionInfoPassed = pExcepInfo != nullptr;
    const DISPPARAMS& params = *pDispParams;
    for (UINT i = 0; i < params.cArgs; ++i) {
        call.slots.push_back(DescribeVariant(params.rgvarg[i]));
    }
    for (UINT i = 0; i < params.cNamedArgs && params.rgdispidNamedArgs != nullptr; ++i) {
        call.namedArgs.push_back(params.rgdispidNamedArgs[i]);
    }
    UINT firstPositional = params.cNamedArgs;
    if ((wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0 && params.cArgs > 0) {
        call.namedValue = !call.namedArgs.empty() && call.namedArgs[0] == DISPID_PROPERTYPUT;
        call.value = call.slots[0];
        firstPositional = std::max(firstPositional, 1u);
    }
    for (UINT i = params.cArgs; i > firstPositional; --i) {
        call.arguments.push_back(call.slots[i - 1]);
    }

    std::function<Answer(const RecordedCall&)> compute;
    std::optional<Answer> answer;
    {
        std::lock_guard guard(server.lock);
        const auto spelling = spelled.find(dispIdMember);
        Script* script = nullptr;
        for (auto& [key, s] : scripts) {
            if (s->dispid == dispIdMember) {
                script = s.get();
            }
        }
        if (spelling == spelled.end() || script == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        call.member = spelling->second;
        server.Record(call);
        if (script->compute) {
            compute = script->compute;
        } else if (!script->answers.empty()) {
            answer = script->answers[std::min(script->next, script->answers.size() - 1)];
            ++script->next;
        }
    }
    if (compute) {
        answer = compute(call);
    }
    if (!answer) {
        answer = Answer::Empty();
    }
    if (FAILED(answer->Result())) {
        if (pExcepInfo != nullptr && !answer->Description().empty()) {
            *pExcepInfo = EXCEPINFO{};
            const OleString text = Utf8ToOle(answer->Description());
            pExcepInfo->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            pExcepInfo->scode = answer->Result();
        }
        return answer->Result();
    }
    if (pVarResult != nullptr) {
        answer->CopyTo(pVarResult);
    }
    return S_OK;
}
