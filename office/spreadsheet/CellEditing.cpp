#include "office/spreadsheet/CellEditing.h"

#include <ctime>

#include "office/spreadsheet/TextToValue.h"

namespace office::spreadsheet {
namespace {

int CurrentYear()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace

CellEditor::CellEditor(Workbook& workbook, Sheet& sheet) : workbook(workbook), sheet(sheet), currentYear(CurrentYear())
{
}

Cell& CellEditor::Prepare(int32_t row, int32_t column)
{
    workbook.CellsChanged();
    Row& r = sheet.rows.Get(row);
    Cell* existing = r.Find(column);
    if (existing) {
        sheet.ClearValue(*existing);
        sheet.changed = true;
        return *existing;
    }
    uint32_t style = sheet.DefaultStyle(row, column);
    Cell& cell = r.Get(column);
    cell.style = style;
    sheet.changed = true;
    return cell;
}

bool CellEditor::IsText(uint32_t style)
{
    if (style >= formatKinds.size()) {
        formatKinds.resize(style + 1, 0);
    }
    if (formatKinds[style] == 0) {
        formatKinds[style] = workbook.styles.IsGeneral(style) ? 1 : workbook.styles.IsText(style) ? 2 : 3;
    }
    return formatKinds[style] == 2;
}

bool CellEditor::IsGeneral(uint32_t style)
{
    IsText(style);
    return formatKinds[style] == 1;
}

void CellEditor::PutText(int32_t row, int32_t column, std::string_view text)
{
    Cell& cell = Prepare(row, column);
    if (text.empty()) {
        return;
    }
    if (IsText(cell.style)) {
        cell.type = Cell::Type::SharedString;
        cell.index = workbook.strings.Add(text);
        return;
    }
    TypedValue typed = TextToValue(text, currentYear);
    switch (typed.kind) {
    case TypedValue::Kind::Empty:
        break;
    case TypedValue::Kind::Number:
        cell.type = Cell::Type::Number;
        cell.number = typed.number;
        if (!typed.format.empty() && IsGeneral(cell.style)) {
            cell.style = workbook.styles.WithNumberFormat(cell.style, typed.format);
        }
        break;
    case TypedValue::Kind::Text:
        cell.type = Cell::Type::SharedString;
        cell.index = workbook.strings.Add(typed.text);
        if (typed.quotePrefix) {
            cell.style = workbook.styles.WithQuotePrefix(cell.style);
        }
        break;
    case TypedValue::Kind::Boolean:
        cell.type = Cell::Type::Boolean;
        cell.number = typed.number;
        break;
    case TypedValue::Kind::Error:
        cell.type = Cell::Type::Error;
        cell.index = sheet.AddText(typed.text);
        break;
    case TypedValue::Kind::Formula: {
        FormulaCell formula;
        formula.formula = Formula::Parse(typed.text, sheet.index, workbook.Resolver());
        cell.type = Cell::Type::Formula;
        cell.index = sheet.AddFormula(std::move(formula));
        break;
    }
    }
}

void CellEditor::PutNumber(int32_t row, int32_t column, double value, std::string_view format)
{
    Cell& cell = Prepare(row, column);
    cell.type = Cell::Type::Number;
    cell.number = value;
    if (!format.empty() && IsGeneral(cell.style)) {
        cell.style = workbook.styles.WithNumberFormat(cell.style, format);
    }
}

void CellEditor::PutBoolean(int32_t row, int32_t column, bool value)
{
    Cell& cell = Prepare(row, column);
    cell.type = Cell::Type::Boolean;
    cell.number = value ? 1 : 0;
}

void CellEditor::PutError(int32_t row, int32_t column, std::string_view error)
{
    Cell& cell = Prepare(row, column);
    cell.type = Cell::Type::Error;
    cell.index = sheet.AddText(std::string(error));
}

void CellEditor::Clear(int32_t row, int32_t column)
{
    if (Row* r = sheet.rows.Find(row)) {
        if (Cell* cell = r->Find(column); cell && cell->type != Cell::Type::Blank) {
            sheet.ClearValue(*cell);
            sheet.changed = true;
            workbook.CellsChanged();
        }
    }
}

CellValue CellEditor::Read(int32_t row, int32_t column) const
{
    CellValue value;
    const Row* r = sheet.rows.Find(row);
    const Cell* cell = r ? const_cast<Row*>(r)->Find(column) : nullptr;
    if (!cell) {
        return value;
    }
    switch (cell->type) {
    case Cell::Type::Blank:
    case Cell::Type::Raw:
        break;
    case Cell::Type::Number:
        value.kind = CellValue::Kind::Number;
        value.number = cell->number;
        break;
    case Cell::Type::SharedString:
        value.kind = CellValue::Kind::Text;
        value.text = workbook.strings.Text(cell->index);
        break;
    case Cell::Type::Boolean:
        value.kind = CellValue::Kind::Boolean;
        value.number = cell->number;
        break;
    case Cell::Type::Error:
        value.kind = CellValue::Kind::Error;
        value.text = sheet.TextAt(cell->index);
        break;
    case Cell::Type::Formula: {
        // The last value the file recorded; formulas are not evaluated here.
        const FormulaCell& formula = sheet.FormulaAt(cell->index);
        if (formula.cachedValue.empty()) {
            break;
        }
        if (formula.cachedType == "str") {
            value.kind = CellValue::Kind::Text;
            value.text = formula.cachedValue;
        } else if (formula.cachedType == "b") {
            value.kind = CellValue::Kind::Boolean;
            value.number = formula.cachedValue == "1" ? 1 : 0;
        } else if (formula.cachedType == "e") {
            value.kind = CellValue::Kind::Error;
            value.text = formula.cachedValue;
        } else {
            value.kind = CellValue::Kind::Number;
            value.number = std::strtod(formula.cachedValue.c_str(), nullptr);
        }
        break;
    }
    }
    return value;
}

uint32_t CellEditor::StyleAt(int32_t row, int32_t column) const
{
    if (Row* r = sheet.rows.Find(row)) {
        if (Cell* cell = r->Find(column)) {
            return cell->style;
        }
    }
    return sheet.DefaultStyle(row, column);
}

void CellEditor::SetStyle(int32_t row, int32_t column, uint32_t style)
{
    Row& r = sheet.rows.Get(row);
    Cell* cell = r.Find(column);
    if (!cell) {
        if (style == sheet.DefaultStyle(row, column)) {
            return;
        }
        cell = &r.Get(column);
    }
    if (cell->style != style) {
        cell->style = style;
        sheet.changed = true;
    }
}

}  // namespace office::spreadsheet
