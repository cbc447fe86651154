#include "datafile/XmlCallbacks.h"

#include "datafile/TrimContents.h"
#include "datafile/XmlParser.h"
#include "datafile/XmlRecords.h"

#include <cstdlib>
#include <cstring>

// Once memory has run out the callbacks stop building; LoadFile then fails.
static XmlParser* Building(void* userData)
{
    XmlParser* parser = static_cast<XmlParser*>(userData);
    if (parser == nullptr || parser->outOfMemory)
        return nullptr;
    return parser;
}

static bool EnsureTree(XmlParser* parser)
{
    if (parser->tree == nullptr)
        parser->tree = CreateTree();
    if (parser->tree == nullptr)
        parser->outOfMemory = true;
    return parser->tree != nullptr;
}

static bool StoreCopy(XmlParser* parser, char*& field, const char* text)
{
    if (text == nullptr)
        return true;
    std::free(field);
    field = CopyText(text, std::strlen(text));
    if (field == nullptr)
        parser->outOfMemory = true;
    return field != nullptr;
}

void OnXmlDeclaration(void* userData, const char* version, const char* encoding, int)
{
    XmlParser* parser = Building(userData);
    if (parser == nullptr || !EnsureTree(parser))
        return;
    if (StoreCopy(parser, parser->tree->version, version))
        StoreCopy(parser, parser->tree->encoding, encoding);
}

static bool PushCurrent(XmlParser* parser)
{
    OpenElement* entry = parser->spareOpenElements;
    if (entry != nullptr) {
        parser->spareOpenElements = entry->below;
    } else {
        entry = static_cast<OpenElement*>(std::malloc(sizeof(OpenElement)));
        if (entry == nullptr) {
            RecordLastError(XmlOutOfMemory);
            parser->outOfMemory = true;
            return false;
        }
    }
    entry->element = parser->currentElement;
    entry->contentsLength = parser->contentsLength;
    entry->contentsCapacity = parser->contentsCapacity;
    entry->below = parser->openElements;
    parser->openElements = entry;
    return true;
}

static void PopCurrent(XmlParser* parser)
{
    OpenElement* entry = parser->openElements;
    if (entry == nullptr) {
        parser->currentElement = nullptr;
        parser->contentsLength = 0;
        parser->contentsCapacity = 0;
        return;
    }
    parser->currentElement = entry->element;
    parser->contentsLength = entry->contentsLength;
    parser->contentsCapacity = entry->contentsCapacity;
    parser->openElements = entry->below;
    entry->below = parser->spareOpenElements;
    parser->spareOpenElements = entry;
}

static Element* OpenNewElement(XmlParser* parser, const char* name)
{
    if (parser->tree != nullptr && parser->tree->root != nullptr) {
        if (parser->currentElement == nullptr || !PushCurrent(parser))
            return nullptr;
        return AddChild(parser->currentElement, name);
    }
    if (!EnsureTree(parser))
        return nullptr;
    parser->tree->root = CreateElement(name);
    return parser->tree->root;
}

void OnStartElement(void* userData, const char* name, const char** attributes)
{
    XmlParser* parser = Building(userData);
    if (parser == nullptr)
        return;
    Element* element = OpenNewElement(parser, name);
    if (element == nullptr) {
        parser->outOfMemory = true;
        return;
    }
    parser->currentElement = element;
    parser->contentsLength = 0;
    parser->contentsCapacity = 0;
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        Attribute* attribute = CreateAttribute(attributes[i], attributes[i + 1]);
        if (attribute == nullptr) {
            parser->outOfMemory = true;
            return;
        }
        AppendAttribute(element, attribute);
    }
}

// A longer buffer for the contents: the first piece goes into the element's
// own room when it fits; after that the buffer doubles, which keeps a long
// text linear in time however many pieces it comes in.
static bool GrowContents(XmlParser* parser, Element* element, size_t needed)
{
    if (element->contents == nullptr) {
        size_t roomSize = 0;
        char* room = InlineTextRoom(element, &roomSize);
        if (needed < roomSize) {
            element->contents = room;
            parser->contentsCapacity = roomSize - 1;
            return true;
        }
    }
    size_t capacity = needed > 2 * parser->contentsCapacity ? needed : 2 * parser->contentsCapacity;
    char* grown;
    if (element->contents != nullptr && HasInlineContents(element)) {
        grown = static_cast<char*>(std::malloc(capacity + 1));
        if (grown != nullptr)
            std::memcpy(grown, element->contents, parser->contentsLength);
    } else {
        grown = static_cast<char*>(std::realloc(element->contents, capacity + 1));
    }
    if (grown == nullptr) {
        RecordLastError(XmlOutOfMemory);
        parser->outOfMemory = true;
        return false;
    }
    element->contents = grown;
    parser->contentsCapacity = capacity;
    return true;
}

void OnCharacterData(void* userData, const char* text, int length)
{
    XmlParser* parser = Building(userData);
    if (parser == nullptr || parser->currentElement == nullptr || length <= 0)
        return;
    Element* element = parser->currentElement;
    size_t needed = parser->contentsLength + static_cast<size_t>(length);
    if (needed > parser->contentsCapacity && !GrowContents(parser, element, needed))
        return;
    std::memcpy(element->contents + parser->contentsLength, text, static_cast<size_t>(length));
    element->contents[needed] = '\0';
    parser->contentsLength = needed;
}

// Moves a short text into the element's own room, or gives back the room that
// growing or trimming left unused in a long one.
static void SettleContents(Element* element, size_t length, size_t capacity)
{
    size_t roomSize = 0;
    char* room = InlineTextRoom(element, &roomSize);
    if (length < roomSize) {
        std::memcpy(room, element->contents, length + 1);
        std::free(element->contents);
        element->contents = room;
        return;
    }
    const size_t worthReleasing = 64;
    if (capacity - length < worthReleasing)
        return;
    char* shrunk = static_cast<char*>(std::realloc(element->contents, length + 1));
    if (shrunk != nullptr)
        element->contents = shrunk;
}

static void FinishContents(XmlParser* parser, Element* element)
{
    if (element->contents == nullptr)
        return;
    size_t length = parser->contentsLength;
    bool empty;
    if (parser->ignoreWhitespace) {
        length = TrimContents(element->contents);
        empty = length == 0;
    } else {
        empty = TrimsToNothing(element->contents, length);
    }
    bool inlineContents = HasInlineContents(element);
    if (empty) {
        if (!inlineContents)
            std::free(element->contents);
        element->contents = nullptr;
        return;
    }
    if (!inlineContents)
        SettleContents(element, length, parser->contentsCapacity);
}

void OnEndElement(void* userData, const char*)
{
    XmlParser* parser = Building(userData);
    if (parser == nullptr || parser->currentElement == nullptr)
        return;
    FinishContents(parser, parser->currentElement);
    PopCurrent(parser);
}
