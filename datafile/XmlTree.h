// The in-memory form of a data file: plain records linked into a tree, and the
// free functions that read and edit it. Strings handed in are copied; strings
// handed out belong to the tree. Failures give a null result and set the
// process-wide last error (see XmlError.h). Given none for an element, the
// readers answer as for a missing part (no child, count 0, name and value "",
// contents "" where an element without text gives " "), and the editors
// return none.
#pragma once

#include "datafile/PackedLink.h"

#include <cstdint>

struct Attribute {
    char* name;
    char* value;
    Attribute* previous;
    Attribute* next;
};

struct AttributeList {
    uint32_t count;
    PackedLink<Attribute> first;
    PackedLink<Attribute> last;
};

// One per element of the file, so its links are packed (see PackedLink.h).
struct Element {
    PackedLink<char> name;
    PackedLink<char> contents;
    AttributeList attributes;
    uint32_t childCount;
    PackedLink<Element> parent;
    PackedLink<Element> firstChild;
    PackedLink<Element> previousSibling;
    PackedLink<Element> nextSibling;
    PackedLink<Element> lastChild;
};

struct XmlTree {
    char* version;
    char* encoding;
    Element* root;
};

// Reading.
Element* TreeRoot(XmlTree* tree);
void FreeTree(XmlTree* tree);
Element* NextChild(Element* element, Element* previousChild);
Element* ChildAt(Element* element, uint32_t index);
Element* ChildByName(Element* element, const char* name);
uint32_t ChildCount(Element* element);
const char* ElementName(Element* element);
const char* ElementContents(Element* element);
Attribute* AttributeByName(Element* element, const char* name);
const char* AttributeValue(Attribute* attribute);

// Editing.
Attribute* CreateAttribute(const char* name, const char* value);
Attribute* AddAttribute(Element* element, Attribute* attribute);
const char* SetAttributeValue(Attribute* attribute, const char* value);
Element* AddChild(Element* element, const char* name);
void FreeElement(Element* element);
