#include "office/dispatch/DispatchTable.h"

#include <algorithm>

#include "office/dispatch/MemberName.h"

namespace {

// Assigned DISPIDs start where type libraries start theirs, clear of real ones.
constexpr DISPID FirstAssignedDispid = 0x60020000;

}  // namespace

DispatchTable::DispatchTable(std::vector<MemberInfo> entries) : members(std::move(entries))
{
    // Explicit DISPIDs first, so that entries sharing a name share the explicit one.
    for (const MemberInfo& m : members) {
        if (m.dispid != DISPID_UNKNOWN) {
            byName.emplace(LowerCaseName(m.name), m.dispid);
        }
    }
    DISPID next = FirstAssignedDispid;
    for (MemberInfo& m : members) {
        m.maxArgs = std::max(m.maxArgs, m.minArgs);
        const auto [it, added] = byName.emplace(LowerCaseName(m.name), next);
        if (added) {
            ++next;
        }
        m.dispid = it->second;
    }
    // Without an explicit default member, Item serves DISPID_VALUE.
    if (std::none_of(members.begin(), members.end(), [](const MemberInfo& m) { return m.dispid == DISPID_VALUE; })) {
        DISPID item = DISPID_UNKNOWN;
        if (FindName(OLESTR("Item"), &item)) {
            for (MemberInfo& m : members) {
                if (m.dispid == item) {
                    m.dispid = DISPID_VALUE;
                }
            }
            byName[OLESTR("item")] = DISPID_VALUE;
        }
    }
}

bool DispatchTable::FindName(OleStringView name, DISPID* dispid) const
{
    const auto it = byName.find(LowerCaseName(name));
    if (it == byName.end()) {
        return false;
    }
    *dispid = it->second;
    return true;
}

int DispatchTable::Find(DISPID dispid, bool put) const
{
    for (size_t i = 0; i < members.size(); ++i) {
        const MemberInfo& m = members[i];
        const WORD wanted = put ? (Kind::Put | Kind::PutRef) : (Kind::Method | Kind::Get);
        if (m.dispid == dispid && (m.kinds & wanted) != 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
