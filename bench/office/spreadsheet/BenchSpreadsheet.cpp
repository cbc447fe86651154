// Scenarios of the spreadsheet server, each timed in a child process with its
// peak memory:
//   write  100,000 rows x 4 columns put as n-by-1 text arrays, then shown (saved);
//   insert 5,000 copied 2-row blocks into a 100,000-row sheet with 1,000
//          formulas and 50 names, then shown;
//   baseline  the same 400,000 cells written by a plain streaming writer of
//          the sheet XML into a zip, for comparison.
// Prints the median of several runs and fails when a target is missed.
#include <unistd.h>

#include <functional>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/datafile/ChildMeasurement.h"
#include "office/dispatch/Utf8.h"
#include "office/package/Package.h"
#include "office/package/ZipArchive.h"
#include "office/spreadsheet/Registration.h"
#include "platform/com/ole2.h"
#include "tests/support/Variants.h"

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 4;
constexpr int kBlocks = 5000;
constexpr int kRuns = 5;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string CellText(int row, int column)
{
    switch (column) {
    case 0: return "Item " + std::to_string(row);
    case 1: return std::to_string(row % 977);
    case 2: return std::to_string(row % 1000) + "." + std::to_string(row % 100);
    default: return row % 7 == 0 ? "Oslo" : "Bergen";
    }
}

// One IDispatch call by name; exits on failure, as a benchmark cannot go on.
VARIANT Invoke(IDispatch* object, const char16_t* member, WORD kind, std::vector<VARIANT> args)
{
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
        std::fprintf(stderr, "unknown member %s\n", Utf16ToUtf8(member).c_str());
        std::exit(2);
    }
    std::reverse(args.begin(), args.end());
    DISPID putId = DISPID_PROPERTYPUT;
    bool put = kind == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{args.data(), put ? &putId : nullptr, UINT(args.size()), put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, &result, &info, nullptr);
    if (FAILED(hr)) {
        std::fprintf(stderr, "%s failed: %s\n", Utf16ToUtf8(member).c_str(),
                     info.bstrDescription ? Utf16ToUtf8(info.bstrDescription).c_str() : "");
        std::exit(2);
    }
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    return result;
}

VARIANT Object(IDispatch* object)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

// Gets an object member and hands over its reference.
IDispatch* Get(IDispatch* object, const char16_t* member, std::vector<VARIANT> args = {})
{
    VARIANT result = Invoke(object, member, DISPATCH_PROPERTYGET, args);
    for (VARIANT& arg : args) {
        if (arg.vt == VT_BSTR) {
            VariantClear(&arg);
        }
    }
    return result.pdispVal;
}

void Release(std::initializer_list<IDispatch*> objects)
{
    for (IDispatch* object : objects) {
        object->Release();
    }
}

IDispatch* StartExcel()
{
    CoInitialize(nullptr);
    RegisterSpreadsheetServer();
    CLSID clsid;
    CLSIDFromProgID(u"Excel.Application", &clsid);
    IDispatch* excel = nullptr;
    CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&excel));
    return excel;
}

IDispatch* AddWorkbook(IDispatch* excel, const std::filesystem::path& path)
{
    IDispatch* workbooks = Get(excel, u"Workbooks");
    std::u16string wide = Utf8ToUtf16(path.string());
    VARIANT argument = TextVariant(wide.c_str());
    VARIANT book = Invoke(workbooks, u"Add", DISPATCH_METHOD, {argument});
    VariantClear(&argument);
    workbooks->Release();
    return book.pdispVal;
}

void Show(IDispatch* excel)
{
    Invoke(excel, u"Visible", DISPATCH_PROPERTYPUT, {IntVariant(1)});
}

// A workbook package with one sheet whose rows are given as sheetData XML.
void WriteTemplate(const std::filesystem::path& path, const std::string& rows, const std::string& names)
{
    office::Package package;
    package.SetPart("[Content_Types].xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Types "
                    "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
                    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                    "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml\"/><Override "
                    "PartName=\"/xl/worksheets/sheet1.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>");
    package.SetPart("_rels/.rels",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships "
                    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                    "Target=\"xl/workbook.xml\"/></Relationships>");
    package.SetPart("xl/workbook.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><workbook "
                    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet "
                    "name=\"Report\" sheetId=\"1\" r:id=\"rId1\"/></sheets>" + names + "</workbook>");
    package.SetPart("xl/_rels/workbook.xml.rels",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships "
                    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet1.xml\"/></Relationships>");
    package.SetPart("xl/worksheets/sheet1.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet "
                    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows +
                        "</sheetData></worksheet>");
    package.SaveAs(path);
}

SAFEARRAY* ColumnArray(int column)
{
    SAFEARRAYBOUND bounds[2] = {{ULONG(kRows), 0}, {1, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 2, bounds);
    for (int row = 0; row < kRows; ++row) {
        std::u16string text = Utf8ToUtf16(CellText(row, column));
        BSTR element = SysAllocStringLen(text.data(), UINT(text.size()));
        LONG indices[2] = {row, 0};
        SafeArrayPutElement(array, indices, element);
        SysFreeString(element);
    }
    return array;
}

double WriteScenario(const std::filesystem::path& templatePath)
{
    IDispatch* excel = StartExcel();
    std::vector<SAFEARRAY*> arrays;
    for (int column = 0; column < kColumns; ++column) {
        arrays.push_back(ColumnArray(column));
    }
    Clock::time_point start = Clock::now();
    IDispatch* book = AddWorkbook(excel, templatePath);
    IDispatch* sheet = Get(book, u"ActiveSheet");
    IDispatch* cells = Get(sheet, u"Cells");
    for (int column = 0; column < kColumns; ++column) {
        IDispatch* first = Get(cells, u"Item", {IntVariant(1), IntVariant(column + 1)});
        IDispatch* target = Get(first, u"Resize", {IntVariant(kRows), IntVariant(1)});
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_ARRAY | VT_BSTR;
        value.parray = arrays[size_t(column)];
        Invoke(excel, u"EnableEvents", DISPATCH_PROPERTYPUT, {IntVariant(0)});
        Invoke(target, u"Value", DISPATCH_PROPERTYPUT, {value});
        Invoke(excel, u"EnableEvents", DISPATCH_PROPERTYPUT, {IntVariant(1)});
        Release({target, first});
    }
    Show(excel);
    double seconds = Since(start);
    Release({cells, sheet, book, excel});
    return seconds;
}

std::string InsertTemplateRows()
{
    std::string rows;
    rows.reserve(size_t(kRows) * 160);
    for (int row = 1; row <= kRows; ++row) {
        std::string r = std::to_string(row);
        rows += "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + std::to_string(row % 977) + "</v></c><c r=\"B" + r +
                "\"><v>" + std::to_string(row % 13) + ".5</v></c><c r=\"C" + r + "\"><v>" + r + "</v></c>";
        if (row % 100 == 0) {
            // 1,000 formulas spread over the sheet, each summing the 100 rows above.
            rows += "<c r=\"D" + r + "\"><f>SUM(A" + std::to_string(row - 99) + ":A" + r + ")</f></c>";
        } else {
            rows += "<c r=\"D" + r + "\"><v>1</v></c>";
        }
        rows += "</row>";
    }
    return rows;
}

std::string InsertTemplateNames()
{
    std::string names = "<definedNames>";
    for (int i = 1; i <= 50; ++i) {
        int first = i * 1900;
        names += "<definedName name=\"VeskGroup" + std::to_string(i) + "\">Report!$" + std::to_string(first) + ":$" +
                 std::to_string(first + 20) + "</definedName>";
    }
    return names + "</definedNames>";
}

double InsertScenario(const std::filesystem::path& templatePath)
{
    IDispatch* excel = StartExcel();
    Clock::time_point start = Clock::now();
    IDispatch* book = AddWorkbook(excel, templatePath);
    IDispatch* sheet = Get(book, u"ActiveSheet");
    IDispatch* rows = Get(sheet, u"Rows");
    for (int block = 0; block < kBlocks; ++block) {
        // Copy a 2-row block and insert it above a row further down each time.
        int source = 10 + block * 12;
        int target = source + 5;
        IDispatch* first = Get(rows, u"Item", {IntVariant(source)});
        IDispatch* last = Get(rows, u"Item", {IntVariant(source + 1)});
        IDispatch* copied = Get(excel, u"Range", {Object(first), Object(last)});
        Invoke(copied, u"Copy", DISPATCH_METHOD, {});
        IDispatch* at = Get(rows, u"Item", {IntVariant(target)});
        Invoke(at, u"Select", DISPATCH_METHOD, {});
        IDispatch* selection = Get(excel, u"Selection");
        Invoke(selection, u"Insert", DISPATCH_METHOD, {IntVariant(-4121)});
        Release({selection, at, copied, last, first});
    }
    Show(excel);
    double seconds = Since(start);
    Release({rows, sheet, book, excel});
    return seconds;
}

void AppendEscapedText(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else out += c;
    }
}

// The plain writer: the same cells as the write scenario streamed straight
// into sheet XML (inline strings, numbers as typed) and zipped.
double BaselineScenario(const std::filesystem::path& output)
{
    Clock::time_point start = Clock::now();
    std::string sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet "
                        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    sheet.reserve(size_t(kRows) * 160);
    for (int row = 0; row < kRows; ++row) {
        std::string r = std::to_string(row + 1);
        sheet += "<row r=\"" + r + "\">";
        for (int column = 0; column < kColumns; ++column) {
            std::string text = CellText(row, column);
            std::string ref = std::string(1, char('A' + column)) + r;
            if (column == 1 || column == 2) {
                sheet += "<c r=\"" + ref + "\"><v>" + text + "</v></c>";
            } else {
                sheet += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>";
                AppendEscapedText(sheet, text);
                sheet += "</t></is></c>";
            }
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    auto entry = std::make_shared<office::ZipEntry>();
    entry->name = "xl/worksheets/sheet1.xml";
    entry->data = std::move(sheet);
    std::string zip = office::WriteZip({entry});
    std::FILE* file = std::fopen(output.c_str(), "wb");
    std::fwrite(zip.data(), 1, zip.size(), file);
    std::fclose(file);
    return Since(start);
}

struct Summary {
    double seconds;
    double megabytes;
};

Summary Median(const char* label, const std::function<double()>& work)
{
    std::vector<double> times;
    std::vector<double> peaks;
    for (int run = 0; run < kRuns; ++run) {
        Measurement m = MeasureInChild(work);
        times.push_back(m.seconds);
        peaks.push_back(double(m.peakBytes) / (1024.0 * 1024.0));
    }
    std::sort(times.begin(), times.end());
    std::sort(peaks.begin(), peaks.end());
    Summary summary{times[kRuns / 2], peaks[kRuns / 2]};
    std::printf("%-10s median %.3f s (min %.3f, max %.3f), peak memory %.1f MB\n", label, summary.seconds, times.front(),
                times.back(), summary.megabytes);
    return summary;
}

}  // namespace

int main()
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("bench-spreadsheet-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "out");
    setenv("TOLVANE_OUTPUT_DIR", (folder / "out").c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    std::filesystem::path empty = folder / "empty.xltx";
    std::filesystem::path big = folder / "big.xltx";
    WriteTemplate(empty, "", "");
    WriteTemplate(big, InsertTemplateRows(), InsertTemplateNames());
    std::vector<std::pair<const char*, std::function<double()>>> scenarios = {
        {"write", [&] { return WriteScenario(empty); }},
        {"insert", [&] { return InsertScenario(big); }},
        {"baseline", [&] { return BaselineScenario(folder / "out" / "baseline.xlsx"); }},
    };
    std::vector<Summary> results;
    for (auto& [label, work] : scenarios) {
        results.push_back(Median(label, [&work = work, &folder] {
            // Each run's shown path would go to standard output: keep the report readable.
            std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
            double seconds = quiet ? work() : -1;
            for (const auto& entry : std::filesystem::directory_iterator(folder / "out")) {
                std::filesystem::remove(entry.path());
            }
            return seconds;
        }));
    }
    const Summary& write = results[0];
    const Summary& insert = results[1];
    const Summary& baseline = results[2];
    std::printf("write / baseline time ratio: %.2f\n", write.seconds / baseline.seconds);
    bool ok = true;
    auto check = [&](const char* what, double value, double limit, const char* unit) {
        bool pass = value < limit;
        std::printf("%s %s: %.3f %s (target < %.1f)\n", pass ? "PASS" : "FAIL", what, value, unit, limit);
        ok = ok && pass;
    };
    check("write 400,000 cells and save", write.seconds, 1.0, "s");
    check("insert 5,000 blocks and save", insert.seconds, 1.5, "s");
    check("write peak memory", write.megabytes, 400, "MB");
    check("insert peak memory", insert.megabytes, 400, "MB");
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}
