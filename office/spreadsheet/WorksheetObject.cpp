// A worksheet: its rows and cells, code name, name; Activate.
#include "office/dispatch/AutomationObject.h"
#include "office/spreadsheet/Objects.h"

namespace office::spreadsheet {
namespace {

class WorksheetObject : public AutomationObject<WorksheetObject> {
public:
    WorksheetObject(State state, Document document, int32_t sheet)
        : state(std::move(state)), document(std::move(document)), sheet(sheet)
    {
    }

    static const MemberTable<WorksheetObject>& Members()
    {
        static const MemberTable<WorksheetObject> table = {
            {OLESTR("Rows"), Kind::Get, &WorksheetObject::Rows, 0, 0, 0x102},
            {OLESTR("Columns"), Kind::Get, &WorksheetObject::Columns, 0, 0, 0xf1},
            {OLESTR("Cells"), Kind::Get, &WorksheetObject::Cells, 0, 0, 0xee},
            {OLESTR("Range"), Kind::Get, &WorksheetObject::Range, 1, 2, 0xc5},
            {OLESTR("CodeName"), Kind::Get, [](WorksheetObject& self, Call& call) { call.ReturnUtf8(self.Model().codeName); },
             0, 0, 0x55d},
            {OLESTR("Name"), Kind::Get, [](WorksheetObject& self, Call& call) { call.ReturnUtf8(self.Model().name); }, 0, 0, 0x6e},
            {OLESTR("Index"), Kind::Get, [](WorksheetObject& self, Call& call) { call.ReturnInt(self.Model().index + 1); }, 0, 0,
             0x1e6},
            {OLESTR("Activate"), Kind::Method, &WorksheetObject::Activate, 0, 0, 0x130},
            {OLESTR("Select"), Kind::Method, &WorksheetObject::Activate, 0, 1, 0xeb},
        };
        return table;
    }

private:
    Sheet& Model() { return document->SheetAt(sheet); }

    Sheet& Worksheet()
    {
        Sheet& model = Model();
        if (!model.isWorksheet) {
            throw AutomationError("The sheet '" + model.name + "' is not a worksheet and has no cells");
        }
        return model;
    }

    void Rows(Call& call)
    {
        Worksheet();
        call.ReturnObject(MakeRange(state, document, sheet, CellRect{1, 1, kMaxRow, kMaxColumn}, RangeView::Rows));
    }

    void Columns(Call& call)
    {
        Worksheet();
        call.ReturnObject(MakeRange(state, document, sheet, CellRect{1, 1, kMaxRow, kMaxColumn}, RangeView::Columns));
    }

    void Cells(Call& call)
    {
        Worksheet();
        call.ReturnObject(MakeRange(state, document, sheet, CellRect{1, 1, kMaxRow, kMaxColumn}));
    }

    void Range(Call& call)
    {
        Worksheet();
        call.ReturnObject(RangeFromArguments(state, document, sheet, call));
    }

    void Activate(Call&)
    {
        Worksheet();
        Workbook& workbook = document->Model();
        if (workbook.activeSheet != sheet) {
            workbook.activeSheet = sheet;
            workbook.ActiveSheetChanged();
        }
    }

    State state;
    Document document;
    int32_t sheet;
};

}  // namespace

ComPtr<IDispatch> MakeWorksheet(const State& state, const Document& document, int32_t sheet)
{
    return MakeObject<WorksheetObject>(state, document, sheet);
}

}  // namespace office::spreadsheet
