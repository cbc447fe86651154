// Driving the spreadsheet server as the program does: CoCreateInstance of
// "Excel.Application" and IDispatch calls by member name, nothing else.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "office/dispatch/ComPtr.h"
#include "platform/com/ole2.h"

namespace excel_test {

// A VARIANT argument or result that frees itself.
class Var {
public:
    Var() { VariantInit(&value); }
    Var(int number);
    Var(double number);
    Var(bool flag);
    Var(const char* utf8);
    Var(IDispatch* object);
    Var(const ComPtr<IDispatch>& object) : Var(object.Get()) {}
    Var(const Var& other);
    ~Var() { VariantClear(&value); }
    Var& operator=(const Var&) = delete;

    // An n-by-1 array of texts, as the program's column writes build it.
    static Var Column(const std::vector<std::string>& texts);

    std::string Text() const;  // a VT_BSTR result as UTF-8
    VARIANT value;
};

struct Outcome {
    HRESULT hr = S_OK;
    std::string description;  // EXCEPINFO text, UTF-8
};

ComPtr<IDispatch> StartExcel();

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args = {},
           Outcome* outcome = nullptr);
ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
void Put(IDispatch* object, const char16_t* member, const Var& value);
Outcome TryGet(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
Outcome TryCall(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
Outcome TryPut(IDispatch* object, const char16_t* member, const Var& value);

// Workbooks.Add(path).
ComPtr<IDispatch> AddWorkbook(IDispatch* excel, const std::string& path);
// Cells(row, column) of a sheet.
ComPtr<IDispatch> CellAt(IDispatch* sheet, int row, int column);
// Rows(row) of a sheet, and Range(Rows(first), Rows(last)) of the application.
ComPtr<IDispatch> RowOf(IDispatch* sheet, int row);
ComPtr<IDispatch> RowSpan(IDispatch* excel, IDispatch* sheet, int first, int last);
// A name's RefersToRange, as Sheet!$A$1-style text via Address.
std::string NameAddress(IDispatch* workbook, const char* name);

}  // namespace excel_test
