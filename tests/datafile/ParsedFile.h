// Loads a file with a fresh parser and frees parser and tree afterwards.
#pragma once

#include "datafile/XmlParser.h"

#include <string>

struct ParsedFile {
    explicit ParsedFile(const std::string& path, int ignoreWhitespace = 1) : parser(CreateParser())
    {
        SetIgnoreWhitespace(parser, ignoreWhitespace);
        loaded = LoadFile(parser, path.c_str());
        tree = GetTree(parser);
    }
    ~ParsedFile()
    {
        FreeTree(tree);
        FreeParser(parser);
    }
    ParsedFile(const ParsedFile&) = delete;
    ParsedFile& operator=(const ParsedFile&) = delete;

    Element* Root() const { return TreeRoot(tree); }

    XmlParser* parser;
    XmlTree* tree = nullptr;
    int loaded = 0;
};
