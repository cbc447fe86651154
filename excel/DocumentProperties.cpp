// The custom document properties every workbook receives: its template, the
// date it was made, and the query text of the producing application.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "excel/ExcelGenerator.h"
#include "generator/AnsiText.h"
#include "generator/HeldObject.h"

namespace {
constexpr LONG PropertyTypeText = 4;
constexpr size_t QueryPieceBytes = 256;

// The template path is a Windows or a Linux path: the file name follows the
// last separator of either kind.
std::string TemplateFileName(const char* path) {
    std::string text = path ? path : "";
    std::string::size_type separator = text.find_last_of("/\\");
    return separator == std::string::npos ? text : text.substr(separator + 1);
}

std::string LocalDateText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u", static_cast<unsigned>(now.wMonth),
                  static_cast<unsigned>(now.wDay), static_cast<unsigned>(now.wYear % 100));
    return text;
}

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// At most 256 bytes, ending before a UTF-8 sequence rather than inside it, so
// that no piece holds half a character.
size_t QueryPieceSize(const std::string& text, size_t start) {
    size_t size = std::min(QueryPieceBytes, text.size() - start);
    if (start + size == text.size()) return size;
    size_t cut = size;
    while (cut > 1 && IsContinuationByte(text[start + cut])) --cut;
    return IsContinuationByte(text[start + cut]) ? size : cut;
}
}

void ExcelGenerator::AddTextProperty(IDispatch* properties, const std::string& name,
                                     const std::string& value) {
    DropResult(session->CallMethodWithTextBoolIntText(properties, OLESTR("Add"), AnsiToWide(name.c_str()).c_str(),
                                                      false, PropertyTypeText,
                                                      AnsiToWide(value.c_str()).c_str()));
}

void ExcelGenerator::WriteDocumentProperties() {
    if (Stopped()) return;
    HeldObject properties(session->GetProperty(activeDocument, OLESTR("CustomDocumentProperties")));
    AddTextProperty(properties, "Template", TemplateFileName(templatePath));
    AddTextProperty(properties, "Generated", LocalDateText());

    int32_t counter = 0;
    for (Element* child = NextChild(currentDocument, nullptr); child;
         child = NextChild(currentDocument, child)) {
        if (std::strcmp(ElementName(child), "SQL") != 0) continue;
        std::string query = ElementContents(child);
        for (size_t start = 0; start < query.size();) {
            size_t size = QueryPieceSize(query, start);
            AddTextProperty(properties, "QueryString" + IntToText(counter), query.substr(start, size));
            ++counter;
            start += size;
        }
    }
}
