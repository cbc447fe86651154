// Small workbooks for tests, written as real packages into a scratch folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace excel_test {

// A scratch folder removed at the end of the test; the output folder of the
// server is pointed at its "out" subfolder.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& Path() const { return path; }
    std::filesystem::path Output() const { return path / "out"; }
    std::vector<std::filesystem::path> OutputFiles() const;

private:
    std::filesystem::path path;
};

class WorkbookBuilder {
public:
    // A sheet with the given <sheetData> content, the elements that follow it
    // and those that go before it.
    WorkbookBuilder& Sheet(std::string name, std::string rows, std::string after = "", std::string before = "");
    WorkbookBuilder& Name(std::string name, std::string formula, int localSheet = -1);
    WorkbookBuilder& Strings(std::vector<std::string> texts);
    // A legacy comment (with its VML shape) on a cell of a sheet.
    WorkbookBuilder& Comment(int sheet, std::string cell, std::string text);
    WorkbookBuilder& Template() { isTemplate = true; return *this; }
    WorkbookBuilder& MacroTemplate() { isMacroTemplate = true; return *this; }

    // Cell formats: 0 General, 1 Text (@), 2 "0.00", 3 General on a yellow
    // fill with a top border, 4 "m/d/yyyy".
    std::filesystem::path Write(const std::filesystem::path& file) const;

private:
    struct SheetSpec {
        std::string name, rows, after, before;
    };
    struct CommentSpec {
        int sheet;
        std::string cell, text;
    };
    std::vector<SheetSpec> sheets;
    std::vector<std::string> names;
    std::vector<std::string> strings;
    std::vector<CommentSpec> comments;
    bool isTemplate = false;
    bool isMacroTemplate = false;
};

}  // namespace excel_test
