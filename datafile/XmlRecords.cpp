#include "datafile/XmlRecords.h"

#include "datafile/XmlError.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// An element's allocation is rounded up to the next size the C library's
// allocator hands out anyway (16n + 8 bytes), so the room after the name
// costs nothing there, and it is requested, so memory checkers know it.
size_t ElementBlockSize(size_t nameSize)
{
    size_t needed = sizeof(Element) + nameSize;
    return (needed + 7) / 16 * 16 + 8;
}

char* AllocateBlock(size_t size)
{
    char* block = static_cast<char*>(std::malloc(size));
    if (block == nullptr)
        RecordLastError(XmlOutOfMemory);
    return block;
}

char* AfterName(char* name)
{
    return name + std::strlen(name) + 1;
}

} // namespace

char* CopyText(const char* text, size_t length)
{
    char* copy = AllocateBlock(length + 1);
    if (copy == nullptr)
        return nullptr;
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
    size_t nameSize = std::strlen(name) + 1;
    char* block = AllocateBlock(ElementBlockSize(nameSize));
    if (block == nullptr)
        return nullptr;
    Element* element = new (block) Element{};
    element->name = block + sizeof(Element);
    std::memcpy(element->name, name, nameSize);
    return element;
}

Attribute* NewAttribute(const char* name, const char* value)
{
    size_t nameSize = std::strlen(name) + 1;
    size_t valueSize = std::strlen(value) + 1;
    char* block = AllocateBlock(sizeof(Attribute) + nameSize + valueSize);
    if (block == nullptr)
        return nullptr;
    Attribute* attribute = new (block) Attribute{};
    attribute->name = block + sizeof(Attribute);
    std::memcpy(attribute->name, name, nameSize);
    attribute->value = attribute->name + nameSize;
    std::memcpy(attribute->value, value, valueSize);
    return attribute;
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

char* InlineTextRoom(Element* element, size_t* size)
{
    size_t nameSize = std::strlen(element->name) + 1;
    *size = ElementBlockSize(nameSize) - sizeof(Element) - nameSize;
    return element->name + nameSize;
}

bool HasInlineContents(const Element* element)
{
    // An empty room ends where another allocation might begin.
    size_t size = 0;
    char* room = InlineTextRoom(const_cast<Element*>(element), &size);
    return size > 0 && element->contents == room;
}

static bool HasInlineValue(const Attribute* attribute)
{
    return attribute->value == AfterName(attribute->name);
}

const char* ReplaceAttributeValue(Attribute* attribute, const char* value)
{
    // Copy before freeing: the old value survives a failed copy, and a value
    // that is the attribute's own is still readable while it is copied.
    char* copy = CopyText(value, std::strlen(value));
    if (copy == nullptr)
        return nullptr;
    if (!HasInlineValue(attribute))
        std::free(attribute->value);
    attribute->value = copy;
    return copy;
}

void FreeAttribute(Attribute* attribute)
{
    if (!HasInlineValue(attribute))
        std::free(attribute->value);
    std::free(attribute);
}

void FreeElementRecord(Element* element)
{
    if (!HasInlineContents(element))
        std::free(element->contents);
    Attribute* attribute = element->attributes.first;
    while (attribute != nullptr) {
        Attribute* next = attribute->next;
        FreeAttribute(attribute);
        attribute = next;
    }
    std::free(element);
}
