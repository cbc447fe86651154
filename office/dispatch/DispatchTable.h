// The members of one automation object class: names (matched without regard
// to case), the invoke kinds each answers, the arguments it takes, its DISPID.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "office/dispatch/OleString.h"

// Invoke kinds a member answers. Method and Get are interchangeable for the
// caller: a member declared with either answers both.
namespace Kind {
constexpr WORD Method = DISPATCH_METHOD;
constexpr WORD Get = DISPATCH_PROPERTYGET;
constexpr WORD Put = DISPATCH_PROPERTYPUT;
constexpr WORD PutRef = DISPATCH_PROPERTYPUTREF;
}  // namespace Kind

struct MemberInfo {
    OleString name;
    WORD kinds;
    UINT minArgs;   // positional arguments, not counting a put's value
    UINT maxArgs;
    DISPID dispid;  // DISPID_UNKNOWN: one is assigned
};

class DispatchTable {
public:
    explicit DispatchTable(std::vector<MemberInfo> members);

    // False for a name the class does not have.
    bool FindName(OleStringView name, DISPID* dispid) const;
    // The entry that answers a put (or a get/method) of `dispid`; -1 when there is none.
    int Find(DISPID dispid, bool put) const;
    const MemberInfo& At(size_t index) const { return members[index]; }

private:
    std::vector<MemberInfo> members;
    std::unordered_map<OleString, DISPID> byName;  // lower-case names
};
