#include "datafile/DataFile.h"

#include "automation/COMException.h"
#include "datafile/LoadFailureText.h"
#include <windows.h>

#include <cstdlib>

DataFile::DataFile(const char* path)
    : parser(CreateParser()), tree(nullptr), root(nullptr), meta(nullptr), type(0)
{
    if (parser == nullptr)
        throw COMException(LoadFailureText(path, nullptr));
    SetIgnoreWhitespace(parser, 1);
    if (!LoadFile(parser, path)) {
        std::string text = LoadFailureText(path, parser);
        // No object comes into being, so the part-built tree goes now.
        FreeTree(GetTree(parser));
        FreeParser(parser);
        throw COMException(text);
    }
    tree = GetTree(parser);
    root = TreeRoot(tree);
    meta = ChildByName(root, "META");
    Attribute* typeAttribute = AttributeByName(ChildByName(meta, "TEMPLATE"), "TYPE");
    if (typeAttribute != nullptr)
        type = std::atoi(AttributeValue(typeAttribute));
}

DataFile::~DataFile()
{
    FreeTree(tree);
    FreeParser(parser);
}

int32_t DataFile::GetType()
{
    return type;
}

Element* DataFile::GetRoot()
{
    return root;
}

static char* EmptyText()
{
    char* text = new char[1];
    text[0] = '\0';
    return text;
}

char* DataFile::GetMessageText(const char* key)
{
    Element* element = ChildByName(meta, key);
    const char* source = element != nullptr ? ElementContents(element) : "";
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, source, -1, nullptr, 0);
    if (wideLength <= 0)
        return EmptyText();
    WCHAR* wide = new WCHAR[wideLength];
    MultiByteToWideChar(CP_UTF8, 0, source, -1, wide, wideLength);
    int narrowLength = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* narrow = nullptr;
    if (narrowLength > 0) {
        narrow = new char[narrowLength];
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, narrowLength, nullptr, nullptr);
    }
    delete[] wide;
    return narrow != nullptr ? narrow : EmptyText();
}
