// Automation objects for the servers, declared by a member table.
//
//   class Document : public AutomationObject<Document> {
//   public:
//       static const MemberTable<Document>& Members()
//       {
//           static const MemberTable<Document> table = {
//               {OLESTR("Name"), Kind::Get, [](Document& self, Call& call) { call.ReturnUtf8(self.name); }},
//               {OLESTR("Saved"), Kind::Get | Kind::Put, &Document::Saved},
//               {OLESTR("Close"), Kind::Method, &Document::Close, 0, 3},      // up to three optional arguments
//               {OLESTR("Item"), Kind::Method, &Document::Item, 1, 1},       // one required argument
//           };
//           return table;
//       }
//   private:
//       void Saved(Call& call)
//       {
//           if (call.IsPut()) saved = call.Value().AsBool(); else call.ReturnBool(saved);
//       }
//       void Item(Call& call)
//       {
//           Index index = call.IndexArg(0);            // 1-based number or a name
//           if (...not found...) throw AutomationError("The requested member of the collection does not exist");
//           call.ReturnObject(MakeObject<Paragraph>(...));
//       }
//       ...
//   };
//   ComPtr<Document> document = MakeObject<Document>(constructor arguments);
//
// What the base does for every class (the office applications' behaviour):
// - Names match without regard to case; an unknown name fails in
//   GetIDsOfNames with DISP_E_UNKNOWNNAME. DISPIDs are stable per name; give
//   a real one as the fifth field when wanted. Without a DISPID_VALUE member,
//   "Item" is the default member.
// - A member declared Method or Get answers both kinds. A put of a member
//   without Kind::Put fails with DISP_E_MEMBERNOTFOUND. The put value is
//   call.Value(); positional arguments are call.Arg(i), first parameter first.
// - Argument counts outside [minArgs, maxArgs] fail with DISP_E_BADPARAMCOUNT,
//   except surplus arguments on a Get member: the handler runs with maxArgs
//   arguments and the rest go to the result's Item (Borders(8), AddIns(title)).
// - Arguments coerce as VariantChangeType does (a Boolean accepts VT_BOOL,
//   VT_I2, VT_I4; an index a number or a text); a failed coercion returns
//   DISP_E_TYPEMISMATCH with puArgErr set, a missing required one
//   DISP_E_PARAMNOTOPTIONAL.
// - Throw AutomationError("text naming what failed") to refuse a call: the
//   caller gets DISP_E_EXCEPTION and, when it passed one, EXCEPINFO with the
//   text. Throw DispatchFailure(hr) to return a calling-rule error as it is.
// - call.ReturnNothing() / call.ReturnObject(nullptr) give VT_DISPATCH with a
//   null pointer, never VT_EMPTY.
// Objects are reference counted; MakeObject hands out the first reference. A
// child that needs its parent holds a ComPtr to it; parents should not hold
// their automation children, or the two keep each other alive.
#pragma once

#include <functional>
#include <initializer_list>
#include <utility>

#include "office/dispatch/AutomationError.h"
#include "office/dispatch/ComPtr.h"
#include "office/dispatch/DispatchObject.h"

template <class T>
struct Member {
    OleStringView name;
    WORD kinds;
    std::function<void(T&, Call&)> handler;
    UINT minArgs = 0;
    UINT maxArgs = 0;  // raised to minArgs when smaller
    DISPID dispid = DISPID_UNKNOWN;
};

template <class T>
class MemberTable : public DispatchTable {
public:
    MemberTable(std::initializer_list<Member<T>> members) : DispatchTable(Infos(members))
    {
        for (const Member<T>& m : members) {
            handlers.push_back(m.handler);
        }
    }

    void Run(size_t index, T& self, Call& call) const { handlers[index](self, call); }

private:
    static std::vector<MemberInfo> Infos(std::initializer_list<Member<T>> members)
    {
        std::vector<MemberInfo> infos;
        for (const Member<T>& m : members) {
            infos.push_back(MemberInfo{OleString(m.name), m.kinds, m.minArgs, m.maxArgs, m.dispid});
        }
        return infos;
    }

    std::vector<std::function<void(T&, Call&)>> handlers;
};

// T declares `static const MemberTable<T>& Members();` (public).
template <class T>
class AutomationObject : public DispatchObject {
protected:
    const DispatchTable& Table() const override { return T::Members(); }
    void RunMember(size_t index, Call& call) override { T::Members().Run(index, static_cast<T&>(*this), call); }
};

template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args)
{
    return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}
