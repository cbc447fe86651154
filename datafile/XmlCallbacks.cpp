#include "datafile/XmlCallbacks.h"

#include "datafile/TreeArena.h"
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
        Element* parent = parser->currentElement;
        if (parent == nullptr || !PushCurrent(parser))
            return nullptr;
        Element* child = CreateElementIn(parser->tree, name);
        if (child != nullptr)
            AppendChild(parent, child);
        return child;
    }
    if (!EnsureTree(parser))
        return nullptr;
    parser->tree->root = CreateElementIn(parser->tree, name);
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
    if (attributes[0] == nullptr)
        return;
    TreeArena* arena = ArenaOf(parser->tree);
    AttributeStore* store = AttributeStoreOf(element, arena);
    if (store == nullptr) {
        parser->outOfMemory = true;
        return;
    }
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        Attribute* attribute = NewAttributeIn(parser->tree, attributes[i], attributes[i + 1]);
        if (attribute == nullptr) {
            parser->outOfMemory = true;
            return;
        }
        AppendAttribute(store, attribute);
    }
}

static void RanOutOfMemory(XmlParser* parser)
{
    RecordLastError(XmlOutOfMemory);
    parser->outOfMemory = true;
}

// Texts up to this size start among the arena's texts; a longer first piece
// goes straight into a large text.
const size_t longestArenaStart = 1024;

// A short text grows in place while nothing was stored after it; after that
// it moves into a large text whose buffer doubles, which keeps a long text
// linear in time however many pieces it comes in.
static bool GrowContents(XmlParser* parser, Element* element, size_t needed)
{
    TreeArena* arena = ArenaOf(parser->tree);
    size_t length = parser->contentsLength;
    bool large = parser->contentsCapacity > 0;
    if (element->contents == nullptr && needed < longestArenaStart) {
        element->contents = ArenaText(arena, needed + 1);
        if (element->contents == nullptr) {
            RanOutOfMemory(parser);
            return false;
        }
        return true;
    }
    if (!large && element->contents != nullptr
        && ResizeLatestText(arena, element->contents, length + 1, needed + 1))
        return true;
    size_t base = large ? parser->contentsCapacity : length;
    size_t capacity = needed > 2 * base ? needed : 2 * base;
    char* grown = ResizeLargeText(arena, large ? element->contents : nullptr, capacity + 1);
    if (grown == nullptr) {
        if (large)
            element->contents = nullptr;
        RanOutOfMemory(parser);
        return false;
    }
    if (!large && element->contents != nullptr) {
        std::memcpy(grown, element->contents, length);
        ResizeLatestText(arena, element->contents, length + 1, 0);
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
    // White space before the first text would be trimmed from the start, or
    // with all the rest when no text follows: it need not be kept at all. Most
    // of it is the indentation between elements.
    if (parser->ignoreWhitespace && parser->contentsLength == 0) {
        while (length > 0 && IsLeadingWhiteSpace(*text)) {
            ++text;
            --length;
        }
        if (length == 0)
            return;
    }
    Element* element = parser->currentElement;
    size_t needed = parser->contentsLength + static_cast<size_t>(length);
    bool fits = element->contents != nullptr && needed <= parser->contentsCapacity;
    if (!fits && !GrowContents(parser, element, needed))
        return;
    char* contents = element->contents;
    std::memcpy(contents + parser->contentsLength, text, static_cast<size_t>(length));
    contents[needed] = '\0';
    parser->contentsLength = needed;
}

// Gives back what trimming and growing left unused: in the arena when the
// text is still the latest there, in a large text when enough is unused.
static void FinishContents(XmlParser* parser, Element* element)
{
    if (element->contents == nullptr)
        return;
    size_t length = parser->contentsLength;
    bool empty;
    if (parser->ignoreWhitespace) {
        length = TrimContents(element->contents, length);
        empty = length == 0;
    } else {
        empty = TrimsToNothing(element->contents, length);
    }
    TreeArena* arena = ArenaOf(parser->tree);
    if (parser->contentsCapacity == 0) {
        ResizeLatestText(arena, element->contents, parser->contentsLength + 1, empty ? 0 : length + 1);
    } else if (empty) {
        FreeLargeText(arena, element->contents);
    } else {
        const size_t worthReleasing = 64;
        if (parser->contentsCapacity - length >= worthReleasing) {
            element->contents = ResizeLargeText(arena, element->contents, length + 1);
            if (element->contents == nullptr)
                RanOutOfMemory(parser);
        }
    }
    if (empty)
        element->contents = nullptr;
}

void OnEndElement(void* userData, const char*)
{
    XmlParser* parser = Building(userData);
    if (parser == nullptr || parser->currentElement == nullptr)
        return;
    FinishContents(parser, parser->currentElement);
    PopCurrent(parser);
}
