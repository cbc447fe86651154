// The Names collection of a workbook and its Name objects.
#include "office/dispatch/AutomationObject.h"
#include "office/dispatch/Utf8.h"
#include "office/spreadsheet/DefinedNames.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

class NameObject : public AutomationObject<NameObject> {
public:
    NameObject(State state, Document document, std::string stored, int32_t localSheet)
        : state(std::move(state)), document(std::move(document)), stored(std::move(stored)), localSheet(localSheet)
    {
    }

    static const MemberTable<NameObject>& Members()
    {
        static const MemberTable<NameObject> table = {
            {OLESTR("Name"), Kind::Get, [](NameObject& self, Call& call) { call.ReturnUtf8(DisplayName(self.Model(), self.Find())); },
             0, 0, 0x6e},
            {OLESTR("RefersTo"), Kind::Get,
             [](NameObject& self, Call& call) { call.ReturnUtf8("=" + self.Find().formula.Text()); }, 0, 0, 0x3aa},
            {OLESTR("RefersToRange"), Kind::Get, &NameObject::RefersToRange, 0, 0, 0x488},
            {OLESTR("Visible"), Kind::Get, &NameObject::Visible, 0, 0, 0x22e},
            {OLESTR("Delete"), Kind::Method, &NameObject::Delete, 0, 0, 0x75},
        };
        return table;
    }

private:
    Workbook& Model() { return document->Model(); }

    DefinedName& Find()
    {
        Workbook& workbook = Model();
        auto position = FindStoredName(workbook, stored, localSheet);
        if (!position) {
            throw AutomationError("The name '" + stored + "' no longer exists");
        }
        return workbook.names[*position];
    }

    void RefersToRange(Call& call)
    {
        Workbook& workbook = Model();
        DefinedName& name = Find();
        auto target = TargetOf(workbook, name);
        if (!target) {
            throw AutomationError("The name '" + DisplayName(workbook, name) + "' refers to '" + name.formula.Text() +
                                  "', which is not a range of this workbook");
        }
        call.ReturnObject(MakeRange(state, document, target->sheet, target->rect));
    }

    void Visible(Call& call)
    {
        for (const auto& [key, value] : Find().attributes) {
            if (key == "hidden" && (value == "1" || value == "true")) {
                call.ReturnBool(false);
                return;
            }
        }
        call.ReturnBool(true);
    }

    void Delete(Call&)
    {
        Workbook& workbook = Model();
        auto position = FindStoredName(workbook, stored, localSheet);
        if (!position) {
            throw AutomationError("The name '" + stored + "' no longer exists");
        }
        workbook.names.erase(workbook.names.begin() + long(*position));
        workbook.NamesChanged();
    }

    State state;
    Document document;
    std::string stored;
    int32_t localSheet;
};

class NamesObject : public AutomationObject<NamesObject> {
public:
    NamesObject(State state, Document document) : state(std::move(state)), document(std::move(document)) {}

    static const MemberTable<NamesObject>& Members()
    {
        static const MemberTable<NamesObject> table = {
            {OLESTR("Item"), Kind::Method, &NamesObject::Item, 0, 3, 0xaa},
            {OLESTR("Count"), Kind::Get, [](NamesObject& self, Call& call) { call.ReturnInt(LONG(self.document->Model().names.size())); },
             0, 0, 0x76},
            {OLESTR("Add"), Kind::Method, &NamesObject::Add, 1, 2, 0xb5},
        };
        return table;
    }

private:
    // Item(Index, IndexLocal, RefersTo): exactly one of them.
    void Item(Call& call)
    {
        Workbook& workbook = document->Model();
        int given = int(call.Has(0)) + int(call.Has(1)) + int(call.Has(2));
        if (given != 1) {
            throw AutomationError("Names.Item takes exactly one of Index, IndexLocal and RefersTo");
        }
        if (call.Has(2)) {
            std::string refersTo = call.Utf8(2);
            if (!refersTo.empty() && refersTo[0] == '=') {
                refersTo.erase(0, 1);
            }
            for (const DefinedName& name : workbook.names) {
                if (name.formula.Text() == refersTo) {
                    call.ReturnObject(MakeName(state, document, name.name, name.localSheet));
                    return;
                }
            }
            throw AutomationError("No name refers to '" + refersTo + "'");
        }
        Index index = call.IndexArg(call.Has(0) ? 0 : 1);
        if (!index.byName) {
            const std::vector<size_t>& order = NamesInOrder(workbook);
            if (index.number < 1 || size_t(index.number) > order.size()) {
                throw AutomationError("There is no name number " + std::to_string(index.number) + " (the workbook has " +
                                      std::to_string(order.size()) + ")");
            }
            const DefinedName& name = workbook.names[order[size_t(index.number - 1)]];
            call.ReturnObject(MakeName(state, document, name.name, name.localSheet));
            return;
        }
        std::string text = Utf16ToUtf8(index.name);
        auto position = FindName(workbook, text);
        if (!position) {
            throw AutomationError("The workbook '" + document->Name() + "' has no name '" + text + "'");
        }
        const DefinedName& name = workbook.names[*position];
        call.ReturnObject(MakeName(state, document, name.name, name.localSheet));
    }

    // Add(Name, RefersTo) with a reference to cells of this workbook.
    void Add(Call& call)
    {
        Workbook& workbook = document->Model();
        std::string text = call.Utf8(0);
        std::string refersTo = call.Has(1) ? call.Utf8(1) : "";
        if (!refersTo.empty() && refersTo[0] == '=') {
            refersTo.erase(0, 1);
        }
        DefinedName probe;
        probe.formula = Formula::Parse(refersTo, kSheetUnknown, workbook.Resolver());
        auto target = TargetOf(workbook, probe);
        if (!target) {
            throw AutomationError("Names.Add needs a reference to cells of this workbook, not '" + refersTo + "'");
        }
        DefineName(workbook, text, target->sheet, target->rect);
        call.ReturnObject(MakeName(state, document, text, -1));
    }

    State state;
    Document document;
};

}  // namespace

ComPtr<IDispatch> MakeNames(const State& state, const Document& document)
{
    return MakeObject<NamesObject>(state, document);
}

ComPtr<IDispatch> MakeName(const State& state, const Document& document, std::string name, int32_t localSheet)
{
    return MakeObject<NameObject>(state, document, std::move(name), localSheet);
}

}  // namespace office::spreadsheet
