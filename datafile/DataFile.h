// The loaded data file: its element tree, the document type, and the texts of
// the dialog and the messages in the ANSI code page.
#pragma once

#include "datafile/XmlParser.h"
#include "datafile/XmlTree.h"

#include <cstdint>

class DataFile {
public:
    // Loads the file; throws COMException with the load error text on failure.
    explicit DataFile(const char* path);
    ~DataFile();

    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // 1 word processor, 2 spreadsheet; 0 when absent or not a number.
    int32_t GetType();
    Element* GetRoot();
    // A fresh copy of the META child's text each call, owned by the caller,
    // who frees it with delete[]. Empty when the element is missing.
    char* GetMessageText(const char* key);

private:
    XmlParser* parser;
    XmlTree* tree;
    Element* root;
    Element* meta;
    int32_t type;
};
