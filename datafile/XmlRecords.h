// How the records of the tree are laid out in memory, shared by the tree
// operations and the parser callbacks.
//
// A parsed tree takes its elements, attributes, names and texts from an arena
// that is freed with the tree (see TreeArena.h). Records made by the editing
// operations (an attribute from CreateAttribute, a child from AddChild) are
// allocated on their own with the name right behind the record, which is how
// the two kinds are told apart: an arena record's name lives among the arena's
// texts, never behind the record. Names never change, so the parsed elements
// and attributes of one name share one copy. An attribute's replaced value has
// an allocation of its own (Attribute::ownValue).
#pragma once

#include "datafile/TreeArena.h"
#include "datafile/XmlTree.h"

#include <cstddef>

// An empty tree with its arena; none with last error 1 when memory runs out.
XmlTree* CreateTree();

TreeArena* ArenaOf(XmlTree* tree);

// Frees the tree record and its arena, with everything that lives there.
void DestroyTree(XmlTree* tree);

// A detached element in an allocation of its own, with a copy of the name;
// none with last error 1.
Element* CreateElement(const char* name);

// A detached element from the tree's arena, sharing the copy of its name with
// other elements of that name; none with last error 1.
Element* CreateElementIn(XmlTree* tree, const char* name);

// Links a detached element in as the parent's last child.
void AppendChild(Element* parent, Element* child);

// A detached attribute with copies of name and value, in an allocation of its
// own or from the arena; none with last error 1.
Attribute* NewAttribute(const char* name, const char* value);
Attribute* NewAttributeIn(XmlTree* tree, const char* name, const char* value);

// The element's attribute store, made when it has none: from the arena when
// one is given, else in an allocation of its own. None with last error 1.
AttributeStore* AttributeStoreOf(Element* element, TreeArena* arena);

// Appends without looking for a namesake: the parser's attributes are already
// known to be unique, and the look-up would make many attributes quadratic.
void AppendAttribute(AttributeStore* store, Attribute* attribute);

// A NUL-terminated copy of the first length bytes; none with last error 1.
char* CopyText(const char* text, size_t length);

// Replaces the value, freeing the old one when it had an allocation of its
// own; none with last error 1 (the old value then stays).
const char* ReplaceAttributeValue(Attribute* attribute, const char* value);

void FreeAttribute(Attribute* attribute);

// Frees what the element owns outside the arena, and the element itself when
// it has an allocation of its own; not its children. Contents always live in
// the arena and go with the tree.
void FreeElementRecord(Element* element);
