#include "tests/office/dispatch/SampleObjects.h"

#include <stdexcept>

int Item::alive = 0;

const MemberTable<Items>& Items::Members()
{
    static const MemberTable<Items> table = {
        {u"Count", Kind::Get, [](Items& self, Call& call) { call.ReturnInt(LONG(self.names.size())); }},
        {u"Item", Kind::Method, &Items::ItemAt, 1, 1},
    };
    return table;
}

void Items::ItemAt(Call& call)
{
    const Index index = call.IndexArg(0);
    for (size_t i = 0; i < names.size(); ++i) {
        if (index.byName ? Utf8ToUtf16(names[i]) == index.name : LONG(i + 1) == index.number) {
            call.ReturnObject(MakeObject<Item>(ComPtr<Items>(this), names[i]));
            return;
        }
    }
    throw AutomationError(index.byName ? "The item \"" + Utf16ToUtf8(index.name) + "\" does not exist"
                                       : "Item " + std::to_string(index.number) + " does not exist");
}

Item::Item(ComPtr<Items> owner, std::string name) : owner(std::move(owner)), name(std::move(name)) { ++alive; }

Item::~Item() { --alive; }

const MemberTable<Item>& Item::Members()
{
    static const MemberTable<Item> table = {
        {u"Name", Kind::Get | Kind::Put,
         [](Item& self, Call& call) {
             if (call.IsPut()) {
                 self.name = call.Value().AsUtf8();
             } else {
                 call.ReturnUtf8(self.name);
             }
         }},
        {u"Visible", Kind::Get, [](Item& self, Call& call) { call.ReturnBool(self.visible); }},
        {u"Visible", Kind::Put, [](Item& self, Call& call) { self.visible = call.Value().AsBool(); }},
        {u"Secret", Kind::Put, [](Item& self, Call& call) { self.secret = call.Value().AsUtf8(); }},
        {u"Id", Kind::Get, [](Item&, Call& call) { call.ReturnInt(7); }},
        {u"Text", Kind::Method, [](Item& self, Call& call) { call.ReturnUtf8(self.name + "|" + self.secret); }},
        {u"Borders", Kind::Get,
         [](Item&, Call& call) { call.ReturnObject(MakeObject<Items>(std::vector<std::string>{"left", "top"})); }},
        {u"Parent", Kind::Get, [](Item& self, Call& call) { call.ReturnObject(self.owner); }},
        {u"Comment", Kind::Get, [](Item&, Call& call) { call.ReturnNothing(); }},
        {u"Delete", Kind::Method,
         [](Item& self, Call&) { throw AutomationError("Item \"" + self.name + "\" cannot be deleted", 0x800A03EC); }},
        {u"Crash", Kind::Method, [](Item&, Call&) { throw std::runtime_error("internal fault"); }},
        {u"Resize", Kind::Method, &Item::Resize, 1, 2},
        {u"Row", Kind::Get, [](Item&, Call& call) { call.ReturnInt(3); }, 0, 0, 0x101},
    };
    return table;
}

void Item::Resize(Call& call)
{
    call.ReturnUtf8(std::to_string(call.Int(0)) + "x" + std::to_string(call.Int(1, 1)));
}
