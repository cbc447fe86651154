#include "office/spreadsheet/RangeContent.h"

#include <cmath>
#include <cstdlib>
#include <functional>

#include "office/dispatch/AutomationError.h"
#include "office/dispatch/Utf8.h"
#include "office/dispatch/VariantSource.h"
#include "office/spreadsheet/CellEditing.h"
#include "office/spreadsheet/NumberFormats.h"

namespace office::spreadsheet {
namespace {

constexpr int64_t kMaxVisitedCells = 1000000;

bool WholeRows(const CellRect& rect) { return rect.left == 1 && rect.right == kMaxColumn; }

int64_t Area(const CellRect& rect) { return int64_t(rect.Rows()) * rect.Columns(); }

// Error values travel as VT_ERROR with the application's error numbers
// (CVErr): #NULL! 2000, #DIV/0! 2007, #VALUE! 2015, #REF! 2023, #NAME? 2029,
// #NUM! 2036, #N/A 2042.
constexpr std::pair<const char*, LONG> kErrorCodes[] = {{"#NULL!", 2000}, {"#DIV/0!", 2007}, {"#VALUE!", 2015},
                                                         {"#REF!", 2023},  {"#NAME?", 2029},  {"#NUM!", 2036},
                                                         {"#N/A", 2042}};

SCODE ErrorCode(const std::string& text)
{
    for (const auto& [name, code] : kErrorCodes) {
        if (text == name) {
            return SCODE(0x800A0000u | ULONG(code));
        }
    }
    return SCODE(0x800A0000u | 2015u);
}

const char* ErrorText(SCODE scode)
{
    for (const auto& [name, code] : kErrorCodes) {
        if ((ULONG(scode) & 0xFFFFu) == ULONG(code)) {
            return name;
        }
    }
    return "#N/A";
}

void PutVariant(CellEditor& editor, int32_t row, int32_t column, const VARIANT& given)
{
    const VARIANT& value = given.vt == (VT_BYREF | VT_VARIANT) ? *given.pvarVal : given;
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        editor.Clear(row, column);
        return;
    case VT_BSTR:
        editor.PutText(row, column, Utf16ToUtf8(OleStringView(value.bstrVal ? value.bstrVal : OLESTR(""),
                                                                    value.bstrVal ? SysStringLen(value.bstrVal) : 0)));
        return;
    case VT_BOOL:
        editor.PutBoolean(row, column, value.boolVal != VARIANT_FALSE);
        return;
    case VT_DATE:
        editor.PutNumber(row, column, value.date, value.date == std::floor(value.date) ? "m/d/yyyy" : "m/d/yyyy h:mm");
        return;
    case VT_ERROR:
        editor.PutError(row, column, ErrorText(value.scode));
        return;
    default: {
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, VariantSource(value), 0, VT_R8))) {
            throw DispatchFailure(DISP_E_TYPEMISMATCH);
        }
        editor.PutNumber(row, column, number.dblVal);
    }
    }
}

void PutArray(CellEditor& editor, const CellRect& rect, SAFEARRAY* array)
{
    UINT dims = SafeArrayGetDim(array);
    if (dims < 1 || dims > 2) {
        throw AutomationError("Cannot put a " + std::to_string(dims) + "-dimensional array into cells");
    }
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(array, &type);
    LONG lower[2] = {0, 0};
    LONG upper[2] = {0, 0};
    for (UINT d = 0; d < dims; ++d) {
        SafeArrayGetLBound(array, d + 1, &lower[d]);
        SafeArrayGetUBound(array, d + 1, &upper[d]);
    }
    // A 1-D array is one row.
    int64_t rows = dims == 2 ? int64_t(upper[0]) - lower[0] + 1 : 1;
    int64_t columns = dims == 2 ? int64_t(upper[1]) - lower[1] + 1 : int64_t(upper[0]) - lower[0] + 1;
    if (Area(rect) > kMaxVisitedCells && (rect.Rows() > rows || rect.Columns() > columns)) {
        throw AutomationError("Cannot fill " + FormatRect(rect) + " from an array: the range is too large");
    }
    for (int32_t i = 0; i < rect.Rows(); ++i) {
        for (int32_t j = 0; j < rect.Columns(); ++j) {
            int32_t row = rect.top + i;
            int32_t column = rect.left + j;
            if (i >= rows || j >= columns) {
                editor.PutError(row, column, "#N/A");
                continue;
            }
            LONG indices[2];
            if (dims == 2) {
                indices[0] = lower[0] + i;
                indices[1] = lower[1] + j;
            } else {
                indices[0] = lower[0] + j;
            }
            void* element = nullptr;
            if (FAILED(SafeArrayPtrOfIndex(array, indices, &element))) {
                throw AutomationError("Cannot read element (" + std::to_string(i) + ", " + std::to_string(j) +
                                      ") of the array");
            }
            if (type == VT_VARIANT) {
                PutVariant(editor, row, column, *static_cast<VARIANT*>(element));
                continue;
            }
            VARIANT scalar;
            VariantInit(&scalar);
            scalar.vt = type;
            switch (type) {
            case VT_BSTR: scalar.bstrVal = *static_cast<BSTR*>(element); break;
            case VT_I2: scalar.iVal = *static_cast<SHORT*>(element); break;
            case VT_I4: scalar.lVal = *static_cast<LONG*>(element); break;
            case VT_R4: scalar.fltVal = *static_cast<FLOAT*>(element); break;
            case VT_R8: scalar.dblVal = *static_cast<DOUBLE*>(element); break;
            case VT_DATE: scalar.date = *static_cast<DATE*>(element); break;
            case VT_BOOL: scalar.boolVal = *static_cast<VARIANT_BOOL*>(element); break;
            default: throw DispatchFailure(DISP_E_TYPEMISMATCH);
            }
            PutVariant(editor, row, column, scalar);
        }
    }
}

// Numbers shown as dates come back as dates, as the application returns them.
void ToVariant(const CellValue& value, bool dateFormat, VARIANT* out)
{
    VariantInit(out);
    switch (value.kind) {
    case CellValue::Kind::Empty:
        break;
    case CellValue::Kind::Number:
        if (dateFormat) {
            out->vt = VT_DATE;
            out->date = value.number;
        } else {
            out->vt = VT_R8;
            out->dblVal = value.number;
        }
        break;
    case CellValue::Kind::Text: {
        OleString text = Utf8ToUtf16(value.text);
        out->vt = VT_BSTR;
        out->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
        break;
    }
    case CellValue::Kind::Error:
        out->vt = VT_ERROR;
        out->scode = ErrorCode(value.text);
        break;
    case CellValue::Kind::Boolean:
        out->vt = VT_BOOL;
        out->boolVal = value.number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    }
}

// Visits the cells of the rectangle: every position of a small one; of a
// large one the cells that exist, and each row's default once.
void VisitStyles(Sheet& sheet, const CellRect& rect, const std::function<void(int32_t, int32_t, bool)>& visit)
{
    if (Area(rect) <= kMaxVisitedCells) {
        for (int32_t row = rect.top; row <= rect.bottom; ++row) {
            for (int32_t column = rect.left; column <= rect.right; ++column) {
                visit(row, column, true);
            }
        }
        return;
    }
    int32_t last = std::min(rect.bottom, sheet.rows.Size());
    for (int32_t row = rect.top; row <= last; ++row) {
        Row* found = sheet.rows.Find(row);
        for (const Cell& cell : found->cells) {
            if (cell.column >= rect.left && cell.column <= rect.right) {
                visit(row, cell.column, true);
            }
        }
        visit(row, 0, false);
    }
}

void ForEachStyled(Workbook& workbook, Sheet& sheet, const CellRect& rect,
                   const std::function<uint32_t(uint32_t)>& change)
{
    CellEditor editor(workbook, sheet);
    if (WholeRows(rect)) {
        int32_t last = std::min(rect.bottom, std::max(sheet.rows.Size(), rect.top));
        for (int32_t row = rect.top; row <= last; ++row) {
            Row& r = sheet.rows.Get(row);
            const std::string* style = r.Attribute("s");
            uint32_t rowStyle = style ? uint32_t(std::strtoul(style->c_str(), nullptr, 10)) : 0;
            r.SetAttribute("s", std::to_string(change(rowStyle)));
            r.SetAttribute("customFormat", "1");
            for (Cell& cell : r.cells) {
                cell.style = change(cell.style);
            }
        }
        sheet.changed = true;
        return;
    }
    if (Area(rect) > kMaxVisitedCells) {
        throw AutomationError("Cannot format " + FormatRect(rect) + ": the range is too large");
    }
    for (int32_t row = rect.top; row <= rect.bottom; ++row) {
        for (int32_t column = rect.left; column <= rect.right; ++column) {
            editor.SetStyle(row, column, change(editor.StyleAt(row, column)));
        }
    }
}

}  // namespace

void PutRangeValue(Workbook& workbook, Sheet& sheet, const CellRect& rect, const VARIANT& value)
{
    CellEditor editor(workbook, sheet);
    const VARIANT& actual = value.vt == (VT_BYREF | VT_VARIANT) ? *value.pvarVal : value;
    if (actual.vt & VT_ARRAY) {
        SAFEARRAY* array = (actual.vt & VT_BYREF) ? *actual.pparray : actual.parray;
        if (!array) {
            throw DispatchFailure(DISP_E_TYPEMISMATCH);
        }
        PutArray(editor, rect, array);
        return;
    }
    if (Area(rect) > kMaxVisitedCells) {
        throw AutomationError("Cannot put one value into " + FormatRect(rect) + ": the range is too large");
    }
    for (int32_t row = rect.top; row <= rect.bottom; ++row) {
        for (int32_t column = rect.left; column <= rect.right; ++column) {
            PutVariant(editor, row, column, actual);
        }
    }
}

void GetRangeValue(Workbook& workbook, Sheet& sheet, const CellRect& rect, VARIANT* result)
{
    CellEditor editor(workbook, sheet);
    auto isDate = [&](int32_t row, int32_t column) {
        return IsDateFormat(workbook.styles.NumberFormat(editor.StyleAt(row, column)));
    };
    if (rect.Rows() == 1 && rect.Columns() == 1) {
        ToVariant(editor.Read(rect.top, rect.left), isDate(rect.top, rect.left), result);
        return;
    }
    if (Area(rect) > kMaxVisitedCells) {
        throw AutomationError("Cannot read the values of " + FormatRect(rect) + ": the range is too large");
    }
    SAFEARRAYBOUND bounds[2] = {{ULONG(rect.Rows()), 1}, {ULONG(rect.Columns()), 1}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    for (int32_t i = 0; i < rect.Rows(); ++i) {
        for (int32_t j = 0; j < rect.Columns(); ++j) {
            VARIANT element;
            ToVariant(editor.Read(rect.top + i, rect.left + j), isDate(rect.top + i, rect.left + j), &element);
            LONG indices[2] = {i + 1, j + 1};
            SafeArrayPutElement(array, indices, &element);
            VariantClear(&element);
        }
    }
    VariantInit(result);
    result->vt = VT_ARRAY | VT_VARIANT;
    result->parray = array;
}

void GetNumberFormat(Workbook& workbook, Sheet& sheet, const CellRect& rect, VARIANT* result)
{
    CellEditor editor(workbook, sheet);
    bool first = true;
    bool mixed = false;
    uint32_t common = 0;
    std::string code;
    VisitStyles(sheet, rect, [&](int32_t row, int32_t column, bool isCell) {
        uint32_t style = isCell ? editor.StyleAt(row, column) : sheet.DefaultStyle(row, rect.left);
        if (first) {
            common = style;
            code = workbook.styles.NumberFormat(style);
            first = false;
        } else if (style != common && workbook.styles.NumberFormat(style) != code) {
            mixed = true;
        }
    });
    VariantInit(result);
    if (mixed) {
        result->vt = VT_NULL;
        return;
    }
    OleString text = Utf8ToUtf16(code);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
}

void PutNumberFormat(Workbook& workbook, Sheet& sheet, const CellRect& rect, const std::string& code)
{
    ForEachStyled(workbook, sheet, rect, [&](uint32_t style) { return workbook.styles.WithNumberFormat(style, code); });
}

void ClearFill(Workbook& workbook, Sheet& sheet, const CellRect& rect)
{
    ForEachStyled(workbook, sheet, rect, [&](uint32_t style) { return workbook.styles.WithoutFill(style); });
}

void ClearTopBorder(Workbook& workbook, Sheet& sheet, const CellRect& rect)
{
    ForEachStyled(workbook, sheet, rect, [&](uint32_t style) { return workbook.styles.WithoutTopBorder(style); });
}

bool HasNoFill(Workbook& workbook, Sheet& sheet, const CellRect& rect)
{
    CellEditor editor(workbook, sheet);
    bool none = true;
    VisitStyles(sheet, rect, [&](int32_t row, int32_t column, bool isCell) {
        uint32_t style = isCell ? editor.StyleAt(row, column) : sheet.DefaultStyle(row, rect.left);
        none = none && workbook.styles.FillId(style) == 0;
    });
    return none;
}

}  // namespace office::spreadsheet
