// A scripted spreadsheet application with one workbook, for the tests of the
// single filling steps: names are answered from a table, and rows, cells and
// ranges by generic objects whose calls the server records.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/excel/ExcelTestData.h"
#include "tests/support/ScriptedServer.h"

class ScriptedWorkbook {
public:
    ScriptedWorkbook()
    {
        workbook.Returns(u"Names", Answer::Object(names));
        workbook.Returns(u"CustomDocumentProperties", Answer::Object(server.Object("Properties")));
        workbook.Returns(u"ActiveSheet", Answer::Object(server.Object("Sheet")));
        names.Answers(u"Item", [this](const RecordedCall& call) { return ItemAnswer(call); });
        names.Answers(u"count", [this](const RecordedCall&) { return Answer::Int(LONG(byIndex.size())); });

        ScriptedObject& application = server.Root();
        application.Returns(u"Rows", Answer::Object(server.Object("Rows")));
        application.Returns(u"Range", Answer::Object(server.Object("RowRange")));
        application.Returns(u"Selection", Answer::Object(server.Object("Selection")));
        ScriptedObject& sheet = server.Object("Sheet");
        sheet.Returns(u"Rows", Answer::Object(server.Object("Rows")));
        sheet.Returns(u"Cells", Answer::Object(server.Object("Cells")));
        server.Object("Rows").Returns(u"Item", Answer::Object(server.Object("Row")));
        server.Object("Cells").Returns(u"Item", Answer::Object(server.Object("Cell")));
        server.Object("Row").Returns(u"Interior", Answer::Object(server.Object("Interior")));
        server.Object("Row").Returns(u"Borders", Answer::Object(server.Object("Border")));
        for (const char* sheetName : {"Sheet1", "Sheet2"})
            server.Object(sheetName).Returns(u"CodeName", Answer::Text(Wide(sheetName)));
    }

    // A workbook name referring to `row` of `sheet`; index order is the order
    // of definition. Its objects are Name<text> and Range<text>.
    ScriptedObject& Define(const std::string& text, LONG row, const std::string& sheet = "Sheet1")
    {
        ScriptedObject& name = server.Object("Name" + text);
        ScriptedObject& range = server.Object("Range" + text);
        name.Returns(u"name", Answer::Text(Wide(text)));
        name.Returns(u"RefersToRange", Answer::Object(range));
        range.Returns(u"row", Answer::Int(row));
        range.Returns(u"Column", Answer::Int(1));
        range.Returns(u"Comment", Answer::Nothing());
        range.Returns(u"Worksheet", Answer::Object(server.Object(sheet)));
        range.Returns(u"Resize", Answer::Object(server.Object("Target" + text)));
        byName[Lower(text)] = &name;
        byIndex.push_back(&name);
        return name;
    }

    IDispatch* Workbook() { return &workbook; }
    IDispatch* Object(const std::string& name) { return &server.Object(name); }

    std::vector<std::string> CallsAfterStart()
    {
        std::vector<std::string> calls = server.CallTexts();
        // Drop the template step's "put Application.Visible = 0".
        if (!calls.empty() && calls.front() == "put Application.Visible = 0") calls.erase(calls.begin());
        return calls;
    }

    // References still held, per object the test has touched.
    std::map<std::string, ULONG> References()
    {
        std::map<std::string, ULONG> counts;
        for (const RecordedCall& call : server.Calls()) counts[call.object] = server.Object(call.object).References();
        for (const char* name : {"Workbook", "Names", "Properties", "Sheet", "Rows", "Cells", "Row", "Cell"})
            counts[name] = server.Object(name).References();
        return counts;
    }

    static std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

    ScriptedServer server{u"Excel.Application"};
    ScriptedObject& workbook = server.Object("Workbook");
    ScriptedObject& names = server.Object("Names");

private:
    static std::string Lower(std::string text)
    {
        for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    Answer ItemAnswer(const RecordedCall& call)
    {
        const std::string& key = call.arguments.at(0);
        if (key.front() == '"') {
            auto found = byName.find(Lower(key.substr(1, key.size() - 2)));
            if (found == byName.end()) return Answer::Failure(DISP_E_EXCEPTION, "no such name");
            return Answer::Object(*found->second);
        }
        size_t index = std::stoul(key);
        if (index < 1 || index > byIndex.size()) return Answer::Failure(DISP_E_EXCEPTION, "no such index");
        return Answer::Object(*byIndex[index - 1]);
    }

    std::map<std::string, ScriptedObject*> byName;
    std::vector<ScriptedObject*> byIndex;
};
