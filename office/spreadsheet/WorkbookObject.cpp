// A workbook: its name, names, properties, active sheet; Activate and Close.
#include "office/dispatch/AutomationObject.h"
#include "office/dispatch/Utf8.h"
#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

class WorkbookObject : public AutomationObject<WorkbookObject> {
public:
    WorkbookObject(State state, Document document) : state(std::move(state)), document(std::move(document)) {}

    static const MemberTable<WorkbookObject>& Members()
    {
        static const MemberTable<WorkbookObject> table = {
            {OLESTR("Name"), Kind::Get, [](WorkbookObject& self, Call& call) { call.ReturnUtf8(self.document->Name()); }, 0, 0,
             0x6e},
            {OLESTR("CustomDocumentProperties"), Kind::Get, &WorkbookObject::CustomDocumentProperties, 0, 0, 0x499},
            {OLESTR("Names"), Kind::Get, &WorkbookObject::Names, 0, 0, 0x1ba},
            {OLESTR("ActiveSheet"), Kind::Get, &WorkbookObject::ActiveSheet, 0, 0, 0x133},
            {OLESTR("Worksheets"), Kind::Get, &WorkbookObject::Worksheets, 1, 1, 0x1ee},
            {OLESTR("Sheets"), Kind::Get, &WorkbookObject::Worksheets, 1, 1, 0x1e5},
            {OLESTR("Activate"), Kind::Method, &WorkbookObject::Activate, 0, 0, 0x130},
            {OLESTR("Close"), Kind::Method, &WorkbookObject::Close, 0, 3, 0x115},
        };
        return table;
    }

private:
    void CustomDocumentProperties(Call& call)
    {
        document->Model();
        call.ReturnObject(MakeCustomProperties(document));
    }

    void Names(Call& call)
    {
        document->Model();
        call.ReturnObject(MakeNames(state, document));
    }

    void ActiveSheet(Call& call)
    {
        call.ReturnObject(MakeWorksheet(state, document, document->Model().activeSheet));
    }

    // Worksheets(index or name): one sheet.
    void Worksheets(Call& call)
    {
        Workbook& model = document->Model();
        Index index = call.IndexArg(0);
        int32_t sheet = index.byName ? model.SheetIndex(Utf16ToUtf8(index.name)) : int32_t(index.number - 1);
        if (sheet < 0 || size_t(sheet) >= model.sheets.size()) {
            throw AutomationError("The workbook '" + document->Name() + "' has no sheet '" +
                                  (index.byName ? Utf16ToUtf8(index.name) : std::to_string(index.number)) + "'");
        }
        call.ReturnObject(MakeWorksheet(state, document, sheet));
    }

    void Activate(Call&)
    {
        document->Model();
        state->active = document;
    }

    void Close(Call& call)
    {
        if (document->Closed()) {
            throw AutomationError("The workbook '" + document->Name() + "' has already been closed");
        }
        if (call.Bool(0, false) && !document->Presented()) {
            try {
                PresentDocument(document->Name(), document->Extension(), document->Built().Writer());
            } catch (const PackageError& error) {
                throw AutomationError("Cannot save the workbook '" + document->Name() + "': " + error.what());
            }
            document->MarkPresented();
        }
        document->Close();
        state->Remove(document);
    }

    State state;
    Document document;
};

}  // namespace

ComPtr<IDispatch> MakeWorkbook(const State& state, const Document& document)
{
    return MakeObject<WorkbookObject>(state, document);
}

}  // namespace office::spreadsheet
