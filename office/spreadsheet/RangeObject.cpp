// A range of cells, rows or columns on one worksheet.
#include "office/dispatch/AutomationObject.h"
#include "office/dispatch/Utf8.h"
#include "office/spreadsheet/DefinedNames.h"
#include "office/spreadsheet/Objects.h"
#include "office/spreadsheet/RangeContent.h"
#include "office/spreadsheet/RowInsertion.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

constexpr LONG kShiftDown = -4121;
constexpr LONG kShiftToRight = -4161;

bool WholeColumns(const CellRect& rect) { return rect.top == 1 && rect.bottom == kMaxRow; }

class RangeObject : public AutomationObject<RangeObject> {
public:
    RangeObject(State state, Document document, int32_t sheet, CellRect rect, RangeView view)
        : state(std::move(state)), tracked(std::move(document), sheet, rect), view(view)
    {
    }

    static const MemberTable<RangeObject>& Members()
    {
        static const MemberTable<RangeObject> table = {
            {OLESTR("Row"), Kind::Get, [](RangeObject& self, Call& call) { call.ReturnInt(self.Rect().top); }, 0, 0, 0x101},
            {OLESTR("Column"), Kind::Get, [](RangeObject& self, Call& call) { call.ReturnInt(self.Rect().left); }, 0, 0, 0xf0},
            {OLESTR("Rows"), Kind::Get, [](RangeObject& self, Call& call) { call.ReturnObject(self.Same(RangeView::Rows)); }, 0,
             0, 0x102},
            {OLESTR("Columns"), Kind::Get,
             [](RangeObject& self, Call& call) { call.ReturnObject(self.Same(RangeView::Columns)); }, 0, 0, 0xf1},
            {OLESTR("Cells"), Kind::Get, [](RangeObject& self, Call& call) { call.ReturnObject(self.Same(RangeView::Cells)); },
             0, 0, 0xee},
            {OLESTR("EntireRow"), Kind::Get, &RangeObject::EntireRow, 0, 0, 0xf6},
            {OLESTR("Count"), Kind::Get, &RangeObject::Count, 0, 0, 0x76},
            {OLESTR("Item"), Kind::Get, &RangeObject::Item, 1, 2, 0xaa},
            {OLESTR("Address"), Kind::Get, &RangeObject::Address, 0, 5, 0xec},
            {OLESTR("Comment"), Kind::Get, &RangeObject::Comment, 0, 0, 0x38e},
            {OLESTR("Worksheet"), Kind::Get, &RangeObject::Worksheet, 0, 0, 0x15c},
            {OLESTR("Resize"), Kind::Get, &RangeObject::Resize, 0, 2, 0x100},
            {OLESTR("Offset"), Kind::Get, &RangeObject::Offset, 0, 2, 0xfe},
            {OLESTR("Value"), Kind::Get | Kind::Put, &RangeObject::Value, 0, 1, 0x6},
            {OLESTR("Value2"), Kind::Get | Kind::Put, &RangeObject::Value, 0, 0, 0x56c},
            {OLESTR("Formula"), Kind::Get | Kind::Put, &RangeObject::FormulaMember, 0, 0, 0x105},
            {OLESTR("NumberFormat"), Kind::Get | Kind::Put, &RangeObject::NumberFormat, 0, 0, 0xc1},
            {OLESTR("NumberFormatLocal"), Kind::Get | Kind::Put, &RangeObject::NumberFormat, 0, 0, 0x449},
            {OLESTR("Select"), Kind::Method, &RangeObject::Select, 0, 0, 0xeb},
            {OLESTR("Activate"), Kind::Method, &RangeObject::Select, 0, 0, 0x130},
            {OLESTR("Copy"), Kind::Method, &RangeObject::Copy, 0, 1, 0x227},
            {OLESTR("Insert"), Kind::Method, &RangeObject::Insert, 0, 2, 0xfc},
            {OLESTR("Interior"), Kind::Get, &RangeObject::Interior, 0, 0, 0x81},
            {OLESTR("Borders"), Kind::Get, &RangeObject::Borders, 0, 0, 0x1b3},
            {OLESTR("Name"), Kind::Get | Kind::Put, &RangeObject::Name, 0, 0, 0x6e},
        };
        return table;
    }

    RangeTarget Target() const { return RangeTarget{tracked.Document(), tracked.Sheet(), tracked.Current()}; }

private:
    Workbook& Model() { return tracked.Document()->Model(); }

    Sheet& SheetModel()
    {
        Sheet& sheet = tracked.Document()->SheetAt(tracked.Sheet());
        if (!sheet.isWorksheet) {
            throw AutomationError("The sheet '" + sheet.name + "' has no cells");
        }
        return sheet;
    }

    CellRect Rect()
    {
        SheetModel();
        return tracked.Current();
    }

    ComPtr<IDispatch> Make(const CellRect& rect, RangeView newView = RangeView::Cells)
    {
        return MakeRange(state, tracked.Document(), tracked.Sheet(), rect, newView);
    }

    ComPtr<IDispatch> Same(RangeView newView) { return Make(Rect(), newView); }

    void EntireRow(Call& call)
    {
        CellRect rect = Rect();
        call.ReturnObject(Make(CellRect{rect.top, 1, rect.bottom, kMaxColumn}, RangeView::Rows));
    }

    void Count(Call& call)
    {
        CellRect rect = Rect();
        int64_t count = view == RangeView::Rows      ? rect.Rows()
                        : view == RangeView::Columns ? rect.Columns()
                                                     : int64_t(rect.Rows()) * rect.Columns();
        if (count > 0x7fffffff) {
            throw AutomationError("The range " + FormatRect(rect) + " holds more cells than Count can report");
        }
        call.ReturnInt(LONG(count));
    }

    // Item(row[, column]), relative to the range's top-left cell.
    void Item(Call& call)
    {
        CellRect rect = Rect();
        int64_t row = 0;
        int64_t column = 0;
        if (call.Has(1)) {
            row = rect.top + int64_t(call.Int(0)) - 1;
            column = rect.left + int64_t(call.Int(1)) - 1;
        } else {
            int64_t index = call.Int(0);
            if (view == RangeView::Rows) {
                row = rect.top + index - 1;
                if (row < 1 || row > kMaxRow) {
                    throw AutomationError("There is no row " + std::to_string(row));
                }
                call.ReturnObject(Make(CellRect{int32_t(row), rect.left, int32_t(row), rect.right}, RangeView::Rows));
                return;
            }
            if (view == RangeView::Columns) {
                column = rect.left + index - 1;
                if (column < 1 || column > kMaxColumn) {
                    throw AutomationError("There is no column " + std::to_string(column));
                }
                call.ReturnObject(Make(CellRect{rect.top, int32_t(column), rect.bottom, int32_t(column)}, RangeView::Columns));
                return;
            }
            if (index < 1) {
                throw AutomationError("There is no cell number " + std::to_string(index) + " in the range");
            }
            row = rect.top + (index - 1) / rect.Columns();
            column = rect.left + (index - 1) % rect.Columns();
        }
        if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) {
            throw AutomationError("The cell (" + std::to_string(row) + ", " + std::to_string(column) +
                                  ") is outside the sheet");
        }
        call.ReturnObject(Make(CellRect{int32_t(row), int32_t(column), int32_t(row), int32_t(column)}));
    }

    void Address(Call& call)
    {
        CellRect rect = Rect();
        std::string reference = AbsoluteReference(Model(), tracked.Sheet(), rect);
        call.ReturnUtf8(reference.substr(reference.rfind('!') + 1));
    }

    void Comment(Call& call)
    {
        CellRect rect = Rect();
        Sheet& sheet = SheetModel();
        for (const CommentAnchor& comment : sheet.Comments()) {
            if (comment.row == rect.top && comment.column == rect.left) {
                call.ReturnObject(MakeComment(PlainText(ChildNamed(comment.comment, "text"))));
                return;
            }
        }
        call.ReturnNothing();
    }

    void Worksheet(Call& call)
    {
        SheetModel();
        call.ReturnObject(MakeWorksheet(state, tracked.Document(), tracked.Sheet()));
    }

    void Resize(Call& call)
    {
        CellRect rect = Rect();
        LONG rows = call.Int(0, rect.Rows());
        LONG columns = call.Int(1, rect.Columns());
        if (rows < 1 || columns < 1 || int64_t(rect.top) + rows - 1 > kMaxRow ||
            int64_t(rect.left) + columns - 1 > kMaxColumn) {
            throw AutomationError("Cannot resize " + FormatRect(rect) + " to " + std::to_string(rows) + " rows by " +
                                  std::to_string(columns) + " columns");
        }
        call.ReturnObject(Make(CellRect{rect.top, rect.left, rect.top + rows - 1, rect.left + columns - 1}));
    }

    void Offset(Call& call)
    {
        CellRect rect = Rect();
        int64_t rows = call.Int(0, 0);
        int64_t columns = call.Int(1, 0);
        if (rect.top + rows < 1 || rect.bottom + rows > kMaxRow || rect.left + columns < 1 ||
            rect.right + columns > kMaxColumn) {
            throw AutomationError("The offset of " + FormatRect(rect) + " falls outside the sheet");
        }
        call.ReturnObject(Make(CellRect{int32_t(rect.top + rows), int32_t(rect.left + columns),
                                        int32_t(rect.bottom + rows), int32_t(rect.right + columns)}));
    }

    void Value(Call& call)
    {
        CellRect rect = Rect();
        if (call.IsPut()) {
            PutRangeValue(Model(), SheetModel(), rect, call.Value().Raw());
            return;
        }
        VARIANT result;
        GetRangeValue(Model(), SheetModel(), rect, &result);
        call.TakeVariant(&result);
    }

    void FormulaMember(Call& call)
    {
        CellRect rect = Rect();
        Sheet& sheet = SheetModel();
        if (call.IsPut()) {
            PutRangeValue(Model(), sheet, rect, call.Value().Raw());
            return;
        }
        const Row* row = sheet.rows.Find(rect.top);
        const Cell* cell = row ? const_cast<Row*>(row)->Find(rect.left) : nullptr;
        if (cell && cell->type == Cell::Type::Formula) {
            call.ReturnUtf8("=" + sheet.FormulaAt(cell->index).formula.Text());
            return;
        }
        VARIANT result;
        GetRangeValue(Model(), sheet, CellRect{rect.top, rect.left, rect.top, rect.left}, &result);
        call.TakeVariant(&result);
    }

    void NumberFormat(Call& call)
    {
        CellRect rect = Rect();
        if (call.IsPut()) {
            PutNumberFormat(Model(), SheetModel(), rect, call.Value().AsUtf8());
            return;
        }
        VARIANT result;
        GetNumberFormat(Model(), SheetModel(), rect, &result);
        call.TakeVariant(&result);
    }

    void Select(Call&)
    {
        CellRect rect = Rect();
        Sheet& sheet = SheetModel();
        sheet.selection = rect;
        sheet.activeCell = CellAddress{rect.top, rect.left};
        sheet.selectionChanged = true;
    }

    void Copy(Call& call)
    {
        CellRect rect = Rect();
        if (call.Has(0)) {
            throw AutomationError("Copy with a destination is not supported; use Copy, then Insert at the target");
        }
        state->clipboard = Clipboard{tracked.Document(), tracked.Sheet(), rect};
    }

    // Insert(Shift): whole rows of the range move down. In Copy mode the copied
    // rows are inserted (once per copy that fits the range exactly, else once),
    // otherwise blank rows formatted like the row above. Copy mode ends.
    void Insert(Call& call)
    {
        CellRect rect = Rect();
        LONG shift = call.Int(0, kShiftDown);
        if (shift == kShiftToRight) {
            throw AutomationError("Inserting cells shifted to the right is not supported; only whole rows move down");
        }
        if (shift != kShiftDown) {
            throw AutomationError("Insert does not know the shift direction " + std::to_string(shift));
        }
        if (WholeColumns(rect)) {
            throw AutomationError("Inserting whole columns is not supported");
        }
        Workbook& workbook = Model();
        std::optional<Clipboard> clipboard = state->clipboard;
        state->clipboard.reset();
        Document source = clipboard ? clipboard->document.lock() : nullptr;
        if (source && source == tracked.Document()) {
            int32_t height = clipboard->rect.Rows();
            int32_t times = rect.Rows() % height == 0 ? rect.Rows() / height : 1;
            InsertCopiedRows(workbook, tracked.Sheet(), rect.top,
                             RowBlock{clipboard->sheet, clipboard->rect.top, clipboard->rect.bottom}, times);
            tracked.Document()->RecordInsertion(tracked.Sheet(), rect.top, height * times);
            return;
        }
        InsertBlankRows(workbook, tracked.Sheet(), rect.top, rect.Rows());
        tracked.Document()->RecordInsertion(tracked.Sheet(), rect.top, rect.Rows());
    }

    void Interior(Call& call)
    {
        call.ReturnObject(MakeInterior(state, tracked.Document(), tracked.Sheet(), Rect()));
    }

    void Borders(Call& call)
    {
        call.ReturnObject(MakeBorders(state, tracked.Document(), tracked.Sheet(), Rect()));
    }

    void Name(Call& call)
    {
        CellRect rect = Rect();
        Workbook& workbook = Model();
        if (call.IsPut()) {
            DefineName(workbook, call.Value().AsUtf8(), tracked.Sheet(), rect);
            return;
        }
        for (size_t position : NamesInOrder(workbook)) {
            const DefinedName& name = workbook.names[position];
            auto target = TargetOf(workbook, name);
            if (target && target->sheet == tracked.Sheet() && target->rect.top == rect.top &&
                target->rect.bottom == rect.bottom && target->rect.left == rect.left && target->rect.right == rect.right) {
                call.ReturnObject(MakeName(state, tracked.Document(), name.name, name.localSheet));
                return;
            }
        }
        throw AutomationError("No name refers to " + FormatRect(rect));
    }

    State state;
    TrackedRect tracked;
    RangeView view;
};

// A corner argument: one of our ranges on the same sheet, an A1 reference or a name.
CellRect Corner(const Document& document, int32_t sheet, const Argument& argument)
{
    if (argument.Raw().vt == VT_DISPATCH) {
        RangeTarget target;
        if (!ReadRangeTarget(argument.Raw().pdispVal, target)) {
            throw AutomationError("Range needs ranges or references as its corners");
        }
        if (target.document != document || target.sheet != sheet) {
            throw AutomationError("The corners of a range must lie on the same sheet");
        }
        return target.rect;
    }
    std::string text = argument.AsUtf8();
    Workbook& workbook = document->Model();
    std::string_view reference = text;
    size_t bang = reference.rfind('!');
    if (bang == std::string_view::npos) {
        if (auto rect = ParseRect(reference)) {
            return *rect;
        }
    }
    if (auto name = FindName(workbook, text)) {
        if (auto target = TargetOf(workbook, workbook.names[*name]); target && target->sheet == sheet) {
            return target->rect;
        }
    }
    Formula formula = Formula::Parse(text, sheet, workbook.Resolver());
    auto ref = formula.SoleReference();
    if (ref && !ref->invalid && ref->sheet == sheet) {
        DefinedName probe;
        probe.formula = formula;
        if (auto target = TargetOf(workbook, probe)) {
            return target->rect;
        }
    }
    throw AutomationError("'" + text + "' is not a reference to cells of the sheet '" +
                          workbook.sheets[size_t(sheet)]->name + "'");
}

}  // namespace

ComPtr<IDispatch> MakeRange(const State& state, const Document& document, int32_t sheet, CellRect rect, RangeView view)
{
    return MakeObject<RangeObject>(state, document, sheet, rect, view);
}

bool ReadRangeTarget(IDispatch* object, RangeTarget& target)
{
    auto* range = dynamic_cast<RangeObject*>(object);
    if (!range) {
        return false;
    }
    target = range->Target();
    return true;
}

ComPtr<IDispatch> RangeFromArguments(const State& state, const Document& document, int32_t sheet, const Call& call)
{
    CellRect first = Corner(document, sheet, call.Arg(0));
    CellRect rect = first;
    if (call.Has(1)) {
        CellRect second = Corner(document, sheet, call.Arg(1));
        rect = CellRect{std::min(first.top, second.top), std::min(first.left, second.left),
                        std::max(first.bottom, second.bottom), std::max(first.right, second.right)};
    }
    return MakeRange(state, document, sheet, rect);
}

}  // namespace office::spreadsheet
