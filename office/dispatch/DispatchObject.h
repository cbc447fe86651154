// The IDispatch implementation every automation object of the servers shares:
// reference counting, name lookup, and Invoke with the calling rules of the
// office applications (see AutomationObject.h for how a class declares its members).
#pragma once

#include <string>

#include "office/dispatch/Call.h"
#include "office/dispatch/DispatchBase.h"
#include "office/dispatch/DispatchTable.h"

class DispatchObject : public DispatchBase {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override;

protected:
    virtual const DispatchTable& Table() const = 0;
    virtual void RunMember(size_t index, Call& call) = 0;
    // Goes into EXCEPINFO's bstrSource when a call is refused.
    virtual OleString ErrorSource() const { return {}; }
};
