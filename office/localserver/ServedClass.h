// A class the local server offers: the name a program asks for, the class id
// it is registered under and the text shown beside it in the registry.
#pragma once

#include <windows.h>

struct ServedClass {
    const wchar_t* progId;
    CLSID clsid;
    const wchar_t* description;
};

// Our own class ids, never an installed suite's: registering never writes over
// the keys of another server, and unregistering finds exactly what it wrote.
inline constexpr ServedClass kWordProcessorClass = {
    L"Word.Application",
    {0x2f704474, 0xe979, 0x483d, {0xb6, 0x29, 0x91, 0x80, 0x7b, 0xed, 0xae, 0x79}},
    L"Tolvane word processor"};
inline constexpr ServedClass kSpreadsheetClass = {
    L"Excel.Application",
    {0xd27eb41e, 0x1a5c, 0x4b0f, {0xba, 0x82, 0xf3, 0xf9, 0xb9, 0xe7, 0xf1, 0xca}},
    L"Tolvane spreadsheet"};
