#include "datafile/LoadFailureText.h"

// Built as a string of whatever length it needs: a path of any length fits.
static std::string TextOrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}

std::string LoadFailureText(const char* path, XmlParser* parser)
{
    int code = LastError();
    std::string text = "Unable to load file " + TextOrEmpty(path) + " (error #" + std::to_string(code) + ": "
        + TextOrEmpty(ErrorText(code)) + ")\n";
    if (code == XmlExpatError && parser != nullptr) {
        int expatCode = ExpatErrorCode(parser);
        text += "Expat error #" + std::to_string(expatCode) + " (line " + std::to_string(ExpatLine(parser))
            + ", column " + std::to_string(ExpatColumn(parser)) + "): " + TextOrEmpty(ExpatErrorText(expatCode))
            + "\n";
    }
    return text;
}
