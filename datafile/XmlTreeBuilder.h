// Building blocks shared by the tree operations and the parser callbacks.
#pragma once

#include "datafile/XmlTree.h"

#include <cstddef>

// An empty tree; none with last error 1 when memory runs out.
XmlTree* CreateTree();

// A detached element with a copy of the name; none with last error 1.
Element* CreateElement(const char* name);

// Appends without looking for a namesake: the parser's attributes are already
// known to be unique, and the look-up would make many attributes quadratic.
void AppendAttribute(Element* element, Attribute* attribute);

// A NUL-terminated copy of the first length bytes; none with last error 1.
char* CopyText(const char* text, size_t length);
