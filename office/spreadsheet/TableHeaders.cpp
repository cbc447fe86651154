#include "office/spreadsheet/TableHeaders.h"

#include <strings.h>

#include <string>

#include "office/spreadsheet/CellEditing.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

bool NameTaken(const pugi::xml_node& columns, const pugi::xml_node& except, const std::string& name)
{
    for (pugi::xml_node column = ChildNamed(columns, "tableColumn"); column; column = NextNamed(column, "tableColumn")) {
        if (column != except && strcasecmp(column.attribute("name").value(), name.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

std::string UniqueName(const pugi::xml_node& columns, const pugi::xml_node& column, const std::string& wanted)
{
    std::string name = wanted;
    for (int suffix = 2; NameTaken(columns, column, name); ++suffix) {
        name = wanted + std::to_string(suffix);
    }
    return name;
}

}  // namespace

void MatchTableColumnNames(Workbook& workbook, Sheet& sheet)
{
    CellEditor cells(workbook, sheet);
    for (SheetPart& table : sheet.tables) {
        pugi::xml_node root = table.document->document_element();
        auto rect = ParseRect(root.attribute("ref").value());
        if (!rect || std::string_view(root.attribute("headerRowCount").value()) == "0") {
            continue;
        }
        pugi::xml_node columns = ChildNamed(root, "tableColumns");
        int32_t at = rect->left;
        for (pugi::xml_node column = ChildNamed(columns, "tableColumn"); column && at <= rect->right;
             column = NextNamed(column, "tableColumn"), ++at) {
            CellValue header = cells.Read(rect->top, at);
            pugi::xml_attribute name = column.attribute("name");
            if (header.kind != CellValue::Kind::Text || header.text.empty() || !name || header.text == name.value()) {
                continue;
            }
            name.set_value(UniqueName(columns, column, header.text).c_str());
            table.changed = true;
        }
    }
}

}  // namespace office::spreadsheet
