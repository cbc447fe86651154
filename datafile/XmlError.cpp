#include "datafile/XmlError.h"

namespace {
int lastError = 0;
}

int LastError()
{
    return lastError;
}

const char* ErrorText(int code)
{
    switch (code) {
    case XmlOutOfMemory:
        return "Out of memory";
    case XmlInputOutputError:
        return "Input/Output error";
    case XmlExpatError:
        return "Internal Expat parser error";
    default:
        return nullptr;
    }
}

void RecordLastError(int code)
{
    lastError = code;
}
