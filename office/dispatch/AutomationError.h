// How a member handler reports failure to the calling client.
#pragma once

#include <string>

#include <ole2.h>

// A call the object refuses (bad value, missing file, no such item): the
// caller gets DISP_E_EXCEPTION, and EXCEPINFO with `description` and `scode`
// when it passed one. The text names what failed.
class AutomationError {
public:
    explicit AutomationError(std::string description, HRESULT scode = DISP_E_EXCEPTION)
        : description(std::move(description)), scode(scode)
    {
    }

    std::string description;  // UTF-8
    HRESULT scode;
};

// A call that breaks the calling rules: Invoke returns `hr` itself
// (DISP_E_TYPEMISMATCH, DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL...);
// `argument` is the zero-based position, first parameter first, or -1.
class DispatchFailure {
public:
    explicit DispatchFailure(HRESULT hr, int argument = -1) : hr(hr), argument(argument) {}

    HRESULT hr;
    int argument;
};
