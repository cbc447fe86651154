// The in-memory form of a data file: plain records linked into a tree, and the
// free functions that read and edit it. Strings handed in are copied; strings
// handed out belong to the tree. Failures give a null result and set the
// process-wide last error (see XmlError.h). Given none for an element, the
// readers answer as for a missing part (no child, count 0, name and value "",
// contents "" where an element without text gives " "), and the editors
// return none.
#pragma once

#include "datafile/PackedLink.h"

#include <cstddef>
#include <cstdint>

struct Attribute {
    char* name;
    char* value;
    PackedLink<Attribute> previous;
    PackedLink<Attribute> next;
    // Set once the value has been replaced by a copy in an allocation of its
    // own; until then it lives with the attribute or in the tree's arena.
    bool ownValue;
};

// The attributes of an element, kept apart from it: most elements have none.
struct AttributeStore {
    PackedCount count;
    PackedLink<Attribute> first;
    PackedLink<Attribute> last;
    // Else it lives in the tree's arena and goes with the tree.
    bool ownAllocation;
};

// The first, last and count fields of an AttributeList, read from its store;
// they take no room of their own.
class FirstAttributeField {
public:
    operator Attribute*() const;
    Attribute* operator->() const { return *this; }
};

class LastAttributeField {
public:
    operator Attribute*() const;
    Attribute* operator->() const { return *this; }
};

class AttributeCountField {
public:
    operator uint32_t() const;
};

struct AttributeList {
    // None until the element has an attribute.
    PackedLink<AttributeStore> store;
    [[no_unique_address]] FirstAttributeField first;
    [[no_unique_address]] LastAttributeField last;
    [[no_unique_address]] AttributeCountField count;
};

template <typename Field>
const AttributeStore* StoreOfField(const Field* field, size_t offset)
{
    return reinterpret_cast<const AttributeList*>(reinterpret_cast<const char*>(field) - offset)->store;
}

inline FirstAttributeField::operator Attribute*() const
{
    const AttributeStore* store = StoreOfField(this, offsetof(AttributeList, first));
    if (store == nullptr)
        return nullptr;
    return store->first;
}

inline LastAttributeField::operator Attribute*() const
{
    const AttributeStore* store = StoreOfField(this, offsetof(AttributeList, last));
    if (store == nullptr)
        return nullptr;
    return store->last;
}

inline AttributeCountField::operator uint32_t() const
{
    const AttributeStore* store = StoreOfField(this, offsetof(AttributeList, count));
    if (store == nullptr)
        return 0;
    return store->count;
}

struct Element;

// The previous-sibling and last-child fields of an Element, read from its
// ring link; they take no room of their own.
class PreviousSiblingField {
public:
    operator Element*() const;
    Element* operator->() const { return *this; }
};

class LastChildField {
public:
    operator Element*() const;
    Element* operator->() const { return *this; }
};

// One per element of the file, so its links are packed (see PackedLink.h).
struct Element {
    PackedLink<char> name;
    PackedLink<char> contents;
    AttributeList attributes;
    PackedCount childCount;
    PackedLink<Element> parent;
    PackedLink<Element> firstChild;
    PackedLink<Element> nextSibling;
    // The previous sibling; for a first child, the last of its siblings, which
    // spares every element a last-child link of its own.
    PackedLink<Element> previousInRing;
    [[no_unique_address]] PreviousSiblingField previousSibling;
    [[no_unique_address]] LastChildField lastChild;
};

// What a large file takes in memory rests on this size.
static_assert(sizeof(void*) != 8 || sizeof(Element) == 46);

inline PreviousSiblingField::operator Element*() const
{
    const Element* element = reinterpret_cast<const Element*>(reinterpret_cast<const char*>(this)
                                                              - offsetof(Element, previousSibling));
    const Element* parent = element->parent;
    if (parent == nullptr || parent->firstChild == element)
        return nullptr;
    return element->previousInRing;
}

inline LastChildField::operator Element*() const
{
    const Element* element = reinterpret_cast<const Element*>(reinterpret_cast<const char*>(this)
                                                              - offsetof(Element, lastChild));
    const Element* first = element->firstChild;
    return first != nullptr ? static_cast<Element*>(first->previousInRing) : nullptr;
}

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
