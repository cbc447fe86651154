// Loading a data file into an element tree with Expat. A parser serves one
// LoadFile; the tree it builds outlives it and is freed with FreeTree.
#pragma once

#include "datafile/XmlError.h"
#include "datafile/XmlTree.h"

#include <cstddef>

struct XML_ParserStruct;

// One entry of the open-element stack: an ancestor of the current element and
// the length and capacity of its contents buffer while it is open.
struct OpenElement {
    Element* element;
    size_t contentsLength;
    size_t contentsCapacity;
    OpenElement* below;
};

struct XmlParser {
    XML_ParserStruct* expatParser;
    XmlTree* tree;
    Element* currentElement;
    OpenElement* openElements;
    int ignoreWhitespace;
    // Bookkeeping that keeps appending character data linear in time. The
    // capacity is that of a large text; 0 while the contents are short ones
    // kept among the tree's texts.
    size_t contentsLength;
    size_t contentsCapacity;
    // Stack entries kept for reuse, so that entering an element allocates once.
    OpenElement* spareOpenElements;
    // Set when a callback could not allocate; the load then fails.
    bool outOfMemory;
};

XmlParser* CreateParser();
void SetIgnoreWhitespace(XmlParser* parser, int flag);
int LoadFile(XmlParser* parser, const char* path);
XmlTree* GetTree(XmlParser* parser);
void FreeParser(XmlParser* parser);

int ExpatErrorCode(XmlParser* parser);
const char* ExpatErrorText(int code);
unsigned long ExpatLine(XmlParser* parser);
unsigned long ExpatColumn(XmlParser* parser);
