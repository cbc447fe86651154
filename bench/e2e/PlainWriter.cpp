// The in-run baselines of the whole-program benchmarks: what a plain writer
// needs for the same output, with no template, no automation and no row
// insertion.
//   plain_writer sheet ROWS OUT.xlsx        ROWS rows of four finished cells streamed
//                                           as sheet XML into a zip;
//   plain_writer copy TEMPLATE TIMES FOLDER the template opened and saved TIMES times,
//                                           its main part written again each time.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "office/package/Package.h"

namespace {

void AppendNumber(std::string& out, long value)
{
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendInline(std::string& out, const std::string& reference, const std::string& text)
{
    out += "<c r=\"" + reference + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

int Sheet(long rows, const std::filesystem::path& output)
{
    std::string sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet "
                        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (long row = 1; row <= rows; ++row) {
        std::string r;
        AppendNumber(r, row);
        sheet += "<row r=\"" + r + "\">";
        AppendInline(sheet, "A" + r, "Customer " + std::to_string(row % 5000));
        AppendInline(sheet, "B" + r, "Item " + r);
        sheet += "<c r=\"C" + r + "\"><v>";
        AppendNumber(sheet, row % 50 + 1);
        sheet += "</v></c><c r=\"D" + r + "\"><v>" + std::to_string(row % 99999) + ".25</v></c></row>";
    }
    sheet += "</sheetData></worksheet>";
    office::Package package;
    package.SetPart("xl/worksheets/sheet1.xml", std::move(sheet));
    package.SaveAs(output);
    return 0;
}

int Copy(const std::filesystem::path& templatePath, long times, const std::filesystem::path& folder)
{
    for (long copy = 1; copy <= times; ++copy) {
        office::Package package = office::Package::Open(templatePath);
        std::string main = package.Part("word/document.xml");
        package.SetPart("word/document.xml", std::move(main));
        package.SaveAs(folder / ("copy" + std::to_string(copy) + ".docx"));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "sheet") {
            return Sheet(std::stol(args[1]), args[2]);
        }
        if (args.size() == 4 && args[0] == "copy") {
            return Copy(args[1], std::stol(args[2]), args[3]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "plain_writer: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: plain_writer sheet ROWS OUT | copy TEMPLATE TIMES FOLDER\n");
    return 2;
}
