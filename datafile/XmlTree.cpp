#include "datafile/XmlTree.h"

#include "datafile/XmlError.h"
#include "datafile/XmlRecords.h"

#include <cstdlib>
#include <cstring>

// Given none where an element or attribute is expected (a part missing from
// the data file), readers give an empty result and editors do nothing, rather
// than crash.

Element* TreeRoot(XmlTree* tree)
{
    return tree != nullptr ? tree->root : nullptr;
}

void FreeTree(XmlTree* tree)
{
    if (tree == nullptr)
        return;
    std::free(tree->version);
    std::free(tree->encoding);
    FreeElement(tree->root);
    DestroyTree(tree);
}

Element* NextChild(Element* element, Element* previousChild)
{
    if (previousChild != nullptr)
        return previousChild->nextSibling;
    return element != nullptr ? element->firstChild : nullptr;
}

Element* ChildAt(Element* element, uint32_t index)
{
    uint32_t count = ChildCount(element);
    if (index >= count)
        return nullptr;
    // Walk from whichever end is nearer; the result is the same.
    if (index < count / 2) {
        Element* child = element->firstChild;
        for (uint32_t i = 0; i < index; ++i)
            child = child->nextSibling;
        return child;
    }
    Element* child = element->lastChild;
    for (uint32_t i = count - 1; i > index; --i)
        child = child->previousInRing;
    return child;
}

Element* ChildByName(Element* element, const char* name)
{
    if (element == nullptr || name == nullptr)
        return nullptr;
    for (Element* child = element->firstChild; child != nullptr; child = child->nextSibling) {
        if (std::strcmp(child->name, name) == 0)
            return child;
    }
    return nullptr;
}

uint32_t ChildCount(Element* element)
{
    if (element == nullptr)
        return 0;
    return element->childCount;
}

const char* ElementName(Element* element)
{
    if (element == nullptr)
        return "";
    return element->name;
}

const char* ElementContents(Element* element)
{
    if (element == nullptr)
        return "";
    const char* contents = element->contents;
    return contents != nullptr ? contents : " ";
}

Attribute* AttributeByName(Element* element, const char* name)
{
    if (element == nullptr || name == nullptr)
        return nullptr;
    for (Attribute* attribute = element->attributes.first; attribute != nullptr; attribute = attribute->next) {
        if (std::strcmp(attribute->name, name) == 0)
            return attribute;
    }
    return nullptr;
}

const char* AttributeValue(Attribute* attribute)
{
    return attribute != nullptr ? attribute->value : "";
}

Attribute* CreateAttribute(const char* name, const char* value)
{
    if (name == nullptr || value == nullptr)
        return nullptr;
    return NewAttribute(name, value);
}

Attribute* AddAttribute(Element* element, Attribute* attribute)
{
    // A failed CreateAttribute passed straight in stays a failure, not a crash;
    // an attribute with no element to own it is freed, as ownership passed here.
    if (attribute == nullptr)
        return nullptr;
    if (element == nullptr) {
        FreeAttribute(attribute);
        return nullptr;
    }
    Attribute* old = AttributeByName(element, attribute->name);
    if (old == attribute)
        return attribute;
    AttributeStore* store = AttributeStoreOf(element, nullptr);
    if (store == nullptr) {
        FreeAttribute(attribute);
        return nullptr;
    }
    if (old == nullptr) {
        AppendAttribute(store, attribute);
        return attribute;
    }
    attribute->previous = old->previous;
    attribute->next = old->next;
    if (old->previous != nullptr)
        old->previous->next = attribute;
    else
        store->first = attribute;
    if (old->next != nullptr)
        old->next->previous = attribute;
    else
        store->last = attribute;
    FreeAttribute(old);
    return attribute;
}

const char* SetAttributeValue(Attribute* attribute, const char* value)
{
    if (attribute == nullptr || value == nullptr)
        return nullptr;
    return ReplaceAttributeValue(attribute, value);
}

Element* AddChild(Element* element, const char* name)
{
    if (element == nullptr || name == nullptr)
        return nullptr;
    Element* child = CreateElement(name);
    if (child != nullptr)
        AppendChild(element, child);
    return child;
}

static void Unlink(Element* element)
{
    Element* parent = element->parent;
    if (parent != nullptr) {
        Element* first = parent->firstChild;
        Element* next = element->nextSibling;
        if (element == first) {
            parent->firstChild = next;
            if (next != nullptr)
                next->previousInRing = element->previousInRing;
        } else {
            Element* previous = element->previousInRing;
            previous->nextSibling = next;
            // Without a next sibling the element was the last, which the
            // first child's link names.
            (next != nullptr ? next : first)->previousInRing = previous;
        }
        parent->childCount = parent->childCount - 1;
    }
    element->parent = nullptr;
    element->previousInRing = nullptr;
    element->nextSibling = nullptr;
}

void FreeElement(Element* element)
{
    if (element == nullptr)
        return;
    Unlink(element);
    // Without recursion, so that any depth of nesting is freed: go down to a
    // leaf, free it, and let its parent's first-child link move on to the next.
    Element* node = element;
    for (;;) {
        while (node->firstChild != nullptr)
            node = node->firstChild;
        if (node == element) {
            FreeElementRecord(node);
            return;
        }
        Element* parent = node->parent;
        Element* next = node->nextSibling;
        parent->firstChild = next;
        FreeElementRecord(node);
        node = next != nullptr ? next : parent;
    }
}
