// The one process-wide last-error code of the element tree and the parser.
#pragma once

enum XmlErrorCode {
    XmlOutOfMemory = 1,
    XmlInputOutputError = 2,
    XmlExpatError = 3
};

int LastError();

// The text of a code; none for 0 and for unknown codes.
const char* ErrorText(int code);

// Records a failure; a later success never clears it.
void RecordLastError(int code);
