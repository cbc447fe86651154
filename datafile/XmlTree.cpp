#include "datafile/XmlTree.h"

#include "datafile/XmlError.h"
#include "datafile/XmlTreeBuilder.h"

#include <cstdlib>
#include <cstring>

// Given none where an element or attribute is expected (a part missing from
// the data file), readers give an empty result and editors do nothing, rather
// than crash.

// An element's and an attribute's name never change, so each is stored in the
// same allocation as its record: one allocation fewer per element.

char* CopyText(const char* text, size_t length)
{
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

XmlTree* CreateTree()
{
    XmlTree* tree = static_cast<XmlTree*>(std::calloc(1, sizeof(XmlTree)));
    if (tree == nullptr)
        RecordLastError(XmlOutOfMemory);
    return tree;
}

Element* CreateElement(const char* name)
{
    size_t length = std::strlen(name);
    Element* element = static_cast<Element*>(std::malloc(sizeof(Element) + length + 1));
    if (element == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    *element = Element{};
    element->name = reinterpret_cast<char*>(element + 1);
    std::memcpy(element->name, name, length + 1);
    return element;
}

void AppendAttribute(Element* element, Attribute* attribute)
{
    AttributeList& list = element->attributes;
    attribute->previous = list.last;
    attribute->next = nullptr;
    if (list.last != nullptr)
        list.last->next = attribute;
    else
        list.first = attribute;
    list.last = attribute;
    ++list.count;
}

static void FreeAttribute(Attribute* attribute)
{
    std::free(attribute->value);
    std::free(attribute);
}

static void FreeAttributes(AttributeList& list)
{
    Attribute* attribute = list.first;
    while (attribute != nullptr) {
        Attribute* next = attribute->next;
        FreeAttribute(attribute);
        attribute = next;
    }
    list = AttributeList{};
}

static void FreeOneElement(Element* element)
{
    std::free(element->contents);
    FreeAttributes(element->attributes);
    std::free(element);
}

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
    std::free(tree);
}

Element* NextChild(Element* element, Element* previousChild)
{
    if (previousChild != nullptr)
        return previousChild->nextSibling;
    return element != nullptr ? element->firstChild : nullptr;
}

Element* ChildAt(Element* element, uint32_t index)
{
    if (element == nullptr || index >= element->childCount)
        return nullptr;
    // Walk from whichever end is nearer; the result is the same.
    if (index < element->childCount / 2) {
        Element* child = element->firstChild;
        for (uint32_t i = 0; i < index; ++i)
            child = child->nextSibling;
        return child;
    }
    Element* child = element->lastChild;
    for (uint32_t i = element->childCount - 1; i > index; --i)
        child = child->previousSibling;
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
    return element != nullptr ? element->childCount : 0;
}

const char* ElementName(Element* element)
{
    return element != nullptr ? element->name : "";
}

const char* ElementContents(Element* element)
{
    if (element == nullptr)
        return "";
    return element->contents != nullptr ? element->contents : " ";
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
    size_t length = std::strlen(name);
    Attribute* attribute = static_cast<Attribute*>(std::malloc(sizeof(Attribute) + length + 1));
    if (attribute == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    *attribute = Attribute{};
    attribute->name = reinterpret_cast<char*>(attribute + 1);
    std::memcpy(attribute->name, name, length + 1);
    attribute->value = CopyText(value, std::strlen(value));
    if (attribute->value == nullptr) {
        std::free(attribute);
        return nullptr;
    }
    return attribute;
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
    if (old == nullptr) {
        AppendAttribute(element, attribute);
        return attribute;
    }
    AttributeList& list = element->attributes;
    attribute->previous = old->previous;
    attribute->next = old->next;
    if (old->previous != nullptr)
        old->previous->next = attribute;
    else
        list.first = attribute;
    if (old->next != nullptr)
        old->next->previous = attribute;
    else
        list.last = attribute;
    FreeAttribute(old);
    return attribute;
}

const char* SetAttributeValue(Attribute* attribute, const char* value)
{
    if (attribute == nullptr || value == nullptr)
        return nullptr;
    // Copy before freeing: the old value survives a failed copy, and a value
    // that is the attribute's own is still readable while it is copied.
    char* copy = CopyText(value, std::strlen(value));
    if (copy == nullptr)
        return nullptr;
    std::free(attribute->value);
    attribute->value = copy;
    return copy;
}

Element* AddChild(Element* element, const char* name)
{
    if (element == nullptr || name == nullptr)
        return nullptr;
    Element* child = CreateElement(name);
    if (child == nullptr)
        return nullptr;
    child->parent = element;
    child->previousSibling = element->lastChild;
    if (element->lastChild != nullptr)
        element->lastChild->nextSibling = child;
    else
        element->firstChild = child;
    element->lastChild = child;
    ++element->childCount;
    return child;
}

static void Unlink(Element* element)
{
    Element* parent = element->parent;
    if (element->previousSibling != nullptr)
        element->previousSibling->nextSibling = element->nextSibling;
    if (element->nextSibling != nullptr)
        element->nextSibling->previousSibling = element->previousSibling;
    if (parent != nullptr) {
        if (parent->firstChild == element)
            parent->firstChild = element->nextSibling;
        if (parent->lastChild == element)
            parent->lastChild = element->previousSibling;
        --parent->childCount;
    }
    element->parent = nullptr;
    element->previousSibling = nullptr;
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
            FreeOneElement(node);
            return;
        }
        Element* parent = node->parent;
        parent->firstChild = node->nextSibling;
        FreeOneElement(node);
        node = parent->firstChild != nullptr ? parent->firstChild : parent;
    }
}
