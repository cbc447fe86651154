#include "office/wordprocessor/FormField.h"

#include "office/wordprocessor/WordNames.h"

#include <strings.h>

#include <cstring>

namespace office::word {
namespace {

struct OpenField {
    size_t slot;
    std::string code;
    bool separated = false;
};

int TypeOfCode(const std::string& code) {
    size_t start = code.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return 0;
    size_t end = code.find_first_of(" \t\r\n\\", start);
    std::string keyword = code.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (strcasecmp(keyword.c_str(), "FORMTEXT") == 0) return kTextInput;
    if (strcasecmp(keyword.c_str(), "FORMCHECKBOX") == 0) return kCheckBox;
    if (strcasecmp(keyword.c_str(), "FORMDROPDOWN") == 0) return kDropDown;
    return 0;
}

// Text boxes are stories of their own, and the fallback of alternate content
// repeats its choice; properties hold no fields.
bool HoldsNoFieldsOfTheStory(const char* name) {
    std::string_view qualified = name;
    size_t colon = qualified.find(':');
    std::string_view local = colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
    return local.ends_with("Pr") || local == "txbxContent" || local == "Fallback";
}

}  // namespace

pugi::xml_node AncestorNamed(pugi::xml_node node, const std::string& name) {
    for (; node; node = node.parent()) {
        if (IsElement(node, name)) return node;
    }
    return {};
}

std::vector<FormField> ScanFormFields(pugi::xml_node root, const WordNames& names) {
    std::vector<FormField> slots;
    std::vector<int> types;
    std::vector<OpenField> open;
    const char* fldChar = names.fldChar.c_str();
    const char* instrText = names.instrText.c_str();
    ForEachElement(root, [&](pugi::xml_node element) {
        const char* elementName = element.name();
        if (std::strcmp(elementName, fldChar) == 0) {
            std::string_view kind = element.attribute(names.fldCharType.c_str()).value();
            if (kind == "begin") {
                FormField field;
                field.beginRun = element.parent();
                field.name = element.child(names.ffData.c_str()).child(names.name.c_str()).attribute(names.val.c_str()).value();
                open.push_back({slots.size(), ""});
                slots.push_back(std::move(field));
                types.push_back(0);
            } else if (kind == "separate" && !open.empty()) {
                open.back().separated = true;
            } else if (kind == "end" && !open.empty()) {
                const OpenField& field = open.back();
                slots[field.slot].endRun = element.parent();
                types[field.slot] = TypeOfCode(field.code);
                open.pop_back();
            }
            return false;
        }
        if (std::strcmp(elementName, instrText) == 0) {
            if (!open.empty() && !open.back().separated) open.back().code += element.text().get();
            return false;
        }
        return !HoldsNoFieldsOfTheStory(elementName);
    });
    std::vector<FormField> fields;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (types[i] == 0 || !slots[i].endRun) continue;
        slots[i].type = types[i];
        fields.push_back(std::move(slots[i]));
    }
    return fields;
}

}  // namespace office::word
