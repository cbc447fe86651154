// Text and attribute helpers shared by the derived generators.
#include <cstdlib>

#include "generator/Generator.h"

int32_t Generator::IntAttribute(Element* element, const char* name, int32_t defaultValue) {
    Attribute* attribute = AttributeByName(element, name);
    return attribute ? std::atoi(AttributeValue(attribute)) : defaultValue;
}

const char* Generator::TextAttribute(Element* element, const char* name, const char* defaultValue) {
    Attribute* attribute = AttributeByName(element, name);
    return attribute ? AttributeValue(attribute) : defaultValue;
}

void Generator::SetAttribute(Element* element, const char* name, const char* value) {
    if (Attribute* attribute = AttributeByName(element, name))
        SetAttributeValue(attribute, value);
    else
        AddAttribute(element, CreateAttribute(name, value));
}

bool Generator::StartsWith(const std::string& text, const std::string& prefix) {
    return prefix.size() <= text.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string Generator::ReplaceFirst(const std::string& text, const std::string& pattern,
                                    const std::string& replacement) {
    std::string::size_type at = text.find(pattern);
    if (at == std::string::npos) return text;
    return text.substr(0, at) + replacement + text.substr(at + pattern.size());
}

std::string Generator::IntToText(int32_t value) {
    return std::to_string(value);
}
