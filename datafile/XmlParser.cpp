#include "datafile/XmlParser.h"

#include "datafile/XmlCallbacks.h"

#include <expat.h>

#include <cstdio>
#include <cstdlib>

XmlParser* CreateParser()
{
    XmlParser* parser = static_cast<XmlParser*>(std::calloc(1, sizeof(XmlParser)));
    if (parser == nullptr) {
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    // The named encoding overrides whatever the file declares.
    parser->expatParser = XML_ParserCreate("UTF-8");
    if (parser->expatParser == nullptr) {
        std::free(parser);
        RecordLastError(XmlOutOfMemory);
        return nullptr;
    }
    XML_SetXmlDeclHandler(parser->expatParser, OnXmlDeclaration);
    XML_SetElementHandler(parser->expatParser, OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser->expatParser, OnCharacterData);
    XML_SetUserData(parser->expatParser, parser);
    // Never read an external DTD or entity: a data file must not pull in other
    // files. Expat's default already says so; stating it keeps it that way.
    XML_SetParamEntityParsing(parser->expatParser, XML_PARAM_ENTITY_PARSING_NEVER);
    parser->ignoreWhitespace = 1;
    return parser;
}

void SetIgnoreWhitespace(XmlParser* parser, int flag)
{
    parser->ignoreWhitespace = flag;
}

// Expat is handed its own buffer to read into, which spares it a copy of
// every piece, and pieces large enough that the calls per piece do not count.
const int pieceSize = 64 * 1024;

static int Feed(XmlParser* parser, std::FILE* file)
{
    for (;;) {
        void* buffer = XML_GetBuffer(parser->expatParser, pieceSize);
        if (buffer == nullptr) {
            RecordLastError(XmlExpatError);
            return 0;
        }
        size_t count = std::fread(buffer, 1, pieceSize, file);
        if (std::ferror(file)) {
            RecordLastError(XmlInputOutputError);
            return 0;
        }
        bool atEnd = std::feof(file) != 0;
        XML_Status status = XML_ParseBuffer(parser->expatParser, static_cast<int>(count), atEnd);
        if (parser->outOfMemory) {
            RecordLastError(XmlOutOfMemory);
            return 0;
        }
        if (status == XML_STATUS_ERROR) {
            RecordLastError(XmlExpatError);
            return 0;
        }
        if (atEnd)
            return 1;
    }
}

int LoadFile(XmlParser* parser, const char* path)
{
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        RecordLastError(XmlInputOutputError);
        return 0;
    }
    int result = Feed(parser, file);
    std::fclose(file);
    return result;
}

XmlTree* GetTree(XmlParser* parser)
{
    return parser->tree;
}

static void FreeOpenElements(OpenElement* entry)
{
    while (entry != nullptr) {
        OpenElement* below = entry->below;
        std::free(entry);
        entry = below;
    }
}

void FreeParser(XmlParser* parser)
{
    if (parser == nullptr)
        return;
    XML_ParserFree(parser->expatParser);
    FreeOpenElements(parser->openElements);
    FreeOpenElements(parser->spareOpenElements);
    std::free(parser);
}

int ExpatErrorCode(XmlParser* parser)
{
    return static_cast<int>(XML_GetErrorCode(parser->expatParser));
}

const char* ExpatErrorText(int code)
{
    return XML_ErrorString(static_cast<XML_Error>(code));
}

unsigned long ExpatLine(XmlParser* parser)
{
    return XML_GetCurrentLineNumber(parser->expatParser);
}

unsigned long ExpatColumn(XmlParser* parser)
{
    return XML_GetCurrentColumnNumber(parser->expatParser);
}
