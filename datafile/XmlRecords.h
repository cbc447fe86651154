// How the records of the tree are laid out in memory, shared by the tree
// operations and the parser callbacks.
//
// Names never change, so an element's or attribute's name lives in the same
// allocation as its record. An allocation has some room left over after the
// name; an element keeps a short text there, and an attribute its value, so
// that the many small values of a data file need no allocation of their own.
#pragma once

#include "datafile/XmlTree.h"

#include <cstddef>

// An empty tree; none with last error 1 when memory runs out.
XmlTree* CreateTree();

// A detached element with a copy of the name; none with last error 1.
Element* CreateElement(const char* name);

// A detached attribute with copies of name and value; none with last error 1.
Attribute* NewAttribute(const char* name, const char* value);

// Appends without looking for a namesake: the parser's attributes are already
// known to be unique, and the look-up would make many attributes quadratic.
void AppendAttribute(Element* element, Attribute* attribute);

// A NUL-terminated copy of the first length bytes; none with last error 1.
char* CopyText(const char* text, size_t length);

// The room after the element's name, and how many bytes it holds, terminator
// included.
char* InlineTextRoom(Element* element, size_t* size);

// Whether the contents live in the element's own allocation (and must not be
// freed or reallocated on their own).
bool HasInlineContents(const Element* element);

// Replaces the value, freeing the old one unless it lives in the attribute's
// own allocation; none with last error 1 (the old value then stays).
const char* ReplaceAttributeValue(Attribute* attribute, const char* value);

void FreeAttribute(Attribute* attribute);

// Frees the element's own parts and the element, not its children.
void FreeElementRecord(Element* element);
