// Small WordprocessingML templates written by the tests, with legacy form
// fields stored as the word processor stores them.
#pragma once

#include "tests/support/TestFolders.h"

#include <filesystem>
#include <string>
#include <vector>

namespace word_test {

// Runs of a text form field; its result is five en spaces unless given.
std::string TextField(const std::string& name, const std::string& result = "\u2002\u2002\u2002\u2002\u2002",
                      const std::string& rPr = "");
std::string CheckBox(const std::string& name, bool checked);
std::string DropDown(const std::string& name, const std::vector<std::string>& entries);
std::string TextRun(const std::string& text);
std::string Paragraph(const std::string& runs);
// A table of rows, each row a list of cell contents (runs).
std::string Table(const std::vector<std::vector<std::string>>& rows);
// The pieces of a table: a cell of blocks, a row of cells holding runs, and a
// table around rows given as XML.
std::string Cell(const std::string& blocks);
std::string Row(const std::vector<std::string>& cells);
std::string TableOfRows(size_t columns, const std::string& rows);
// A content control (w:sdt) around blocks, rows, cells or runs.
std::string ContentControl(const std::string& content, int id = 1);

enum class Kind { Dotx, Dotm, Docx };

// Writes a template with the body (paragraphs and tables) and returns its path.
std::filesystem::path WriteTemplate(const std::filesystem::path& folder, const std::string& fileName,
                                    const std::string& body, Kind kind = Kind::Dotx);

}  // namespace word_test
