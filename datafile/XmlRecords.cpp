#include "datafile/XmlRecords.h"

#include "datafile/XmlError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Element names seen lately, by a hash of the name: a data file repeats a few
// names many times, and each is then stored once.
const size_t recentNameCount = 256;

struct RecentName {
    char* text;
    size_t length;
};

// The tree record, its arena and its names in one allocation; the tree comes
// first, so a tree pointer is also a pointer to the whole.
struct TreeStorage {
    XmlTree tree;
    TreeArena arena;
    RecentName recentNames[recentNameCount];
};

TreeStorage* StorageOf(XmlTree* tree)
{
    return reinterpret_cast<TreeStorage*>(tree);
}

// The slot of a name, and its length found on the way.
size_t NameSlot(const char* name, size_t* length)
{
    uint32_t hash = 2166136261u;
    const unsigned char* c = reinterpret_cast<const unsigned char*>(name);
    for (; *c != 0; ++c)
        hash = (hash ^ *c) * 16777619u;
    *length = static_cast<size_t>(c - reinterpret_cast<const unsigned char*>(name));
    return hash % recentNameCount;
}

// Also refuses memory that the tree's packed links could not reach.
char* AllocateBlock(size_t size)
{
    char* block = static_cast<char*>(std::malloc(size));
    if (block != nullptr && !FitsPackedLink(reinterpret_cast<uintptr_t>(block) + size)) {
        std::free(block);
        block = nullptr;
    }
    if (block == nullptr)
        RecordLastError(XmlOutOfMemory);
    return block;
}

template <typename Record>
Record* ArenaRecordOf(TreeArena* arena)
{
    static_assert(alignof(Record) <= alignof(void*));
    void* room = ArenaRecord(arena, sizeof(Record), alignof(Record));
    if (room == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    return new (room) Record{};
}

char* ArenaCopy(TreeArena* arena, const char* text, size_t size)
{
    char* copy = ArenaText(arena, size);
    if (copy == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    std::memcpy(copy, text, size);
    return copy;
}

bool HasOwnAllocation(const Element* element)
{
    return element->name == reinterpret_cast<const char*>(element + 1);
}

bool HasOwnAllocation(const Attribute* attribute)
{
    return attribute->name == reinterpret_cast<const char*>(attribute + 1);
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
    TreeStorage* storage = static_cast<TreeStorage*>(std::calloc(1, sizeof(TreeStorage)));
    if (storage == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    return &storage->tree;
}

TreeArena* ArenaOf(XmlTree* tree)
{
    return &StorageOf(tree)->arena;
}

void DestroyTree(XmlTree* tree)
{
    FreeArena(ArenaOf(tree));
    std::free(StorageOf(tree));
}

Element* CreateElement(const char* name)
{
    size_t nameSize = std::strlen(name) + 1;
    char* block = AllocateBlock(sizeof(Element) + nameSize);
    if (block == nullptr)
        return nullptr;
    Element* element = new (block) Element{};
    char* storedName = block + sizeof(Element);
    std::memcpy(storedName, name, nameSize);
    element->name = storedName;
    return element;
}

// Names never change, so elements and attributes of one name share a copy.
static char* SharedName(TreeStorage* storage, const char* name)
{
    size_t length;
    RecentName& recent = storage->recentNames[NameSlot(name, &length)];
    if (recent.text != nullptr && recent.length == length && std::memcmp(recent.text, name, length) == 0)
        return recent.text;
    recent.text = ArenaCopy(&storage->arena, name, length + 1);
    recent.length = length;
    return recent.text;
}

Element* CreateElementIn(XmlTree* tree, const char* name)
{
    TreeStorage* storage = StorageOf(tree);
    char* storedName = SharedName(storage, name);
    if (storedName == nullptr)
        return nullptr;
    Element* element = ArenaRecordOf<Element>(&storage->arena);
    if (element != nullptr)
        element->name = storedName;
    return element;
}

void AppendChild(Element* parent, Element* child)
{
    child->parent = parent;
    child->nextSibling = nullptr;
    Element* first = parent->firstChild;
    if (first == nullptr) {
        parent->firstChild = child;
        child->previousInRing = child;
    } else {
        Element* last = first->previousInRing;
        last->nextSibling = child;
        child->previousInRing = last;
        first->previousInRing = child;
    }
    parent->childCount = parent->childCount + 1;
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

Attribute* NewAttributeIn(XmlTree* tree, const char* name, const char* value)
{
    TreeStorage* storage = StorageOf(tree);
    char* storedName = SharedName(storage, name);
    char* storedValue = storedName != nullptr ? ArenaCopy(&storage->arena, value, std::strlen(value) + 1) : nullptr;
    if (storedValue == nullptr)
        return nullptr;
    Attribute* attribute = ArenaRecordOf<Attribute>(&storage->arena);
    if (attribute == nullptr)
        return nullptr;
    attribute->name = storedName;
    attribute->value = storedValue;
    return attribute;
}

AttributeStore* AttributeStoreOf(Element* element, TreeArena* arena)
{
    AttributeStore* store = element->attributes.store;
    if (store != nullptr)
        return store;
    if (arena != nullptr)
        store = ArenaRecordOf<AttributeStore>(arena);
    else if (char* block = AllocateBlock(sizeof(AttributeStore)))
        store = new (block) AttributeStore{0, nullptr, nullptr, true};
    element->attributes.store = store;
    return store;
}

void AppendAttribute(AttributeStore* store, Attribute* attribute)
{
    attribute->previous = store->last;
    attribute->next = nullptr;
    if (store->last != nullptr)
        store->last->next = attribute;
    else
        store->first = attribute;
    store->last = attribute;
    store->count = store->count + 1;
}

const char* ReplaceAttributeValue(Attribute* attribute, const char* value)
{
    // Copy before freeing: the old value survives a failed copy, and a value
    // that is the attribute's own is still readable while it is copied.
    char* copy = CopyText(value, std::strlen(value));
    if (copy == nullptr)
        return nullptr;
    if (attribute->ownValue)
        std::free(attribute->value);
    attribute->value = copy;
    attribute->ownValue = true;
    return copy;
}

void FreeAttribute(Attribute* attribute)
{
    if (attribute->ownValue)
        std::free(attribute->value);
    if (HasOwnAllocation(attribute))
        std::free(attribute);
}

void FreeElementRecord(Element* element)
{
    AttributeStore* store = element->attributes.store;
    if (store != nullptr) {
        Attribute* attribute = store->first;
        while (attribute != nullptr) {
            Attribute* next = attribute->next;
            FreeAttribute(attribute);
            attribute = next;
        }
        if (store->ownAllocation)
            std::free(store);
    }
    if (HasOwnAllocation(element))
        std::free(element);
}
