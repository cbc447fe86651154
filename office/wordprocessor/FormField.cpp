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

namespace {

// Pairs the field marks met in document order; a field's type is known at its end.
class FieldScanner {
public:
    explicit FieldScanner(const WordNames& names)
        : names_(names), fldChar_(names.fldChar.c_str()), instrText_(names.instrText.c_str()) {}

    void Scan(pugi::xml_node root) {
        ForEachElement(root, [&](pugi::xml_node element) { return Visit(element); });
    }

    // Whether every mark met paired with another one met: an end, separator
    // or code outside any field, or a field left open, would pair with marks
    // elsewhere in the story.
    bool SelfContained() const { return !stray_ && open_.empty(); }

    std::vector<FormField> Fields() {
        std::vector<FormField> fields;
        for (size_t i = 0; i < slots_.size(); ++i) {
            if (types_[i] == 0 || !slots_[i].endRun) continue;
            slots_[i].type = types_[i];
            fields.push_back(std::move(slots_[i]));
        }
        return fields;
    }

private:
    bool Visit(pugi::xml_node element) {
        const char* elementName = element.name();
        if (std::strcmp(elementName, fldChar_) == 0) {
            std::string_view kind = element.attribute(names_.fldCharType.c_str()).value();
            if (kind == "begin") {
                FormField field;
                field.beginRun = element.parent();
                field.name = element.child(names_.ffData.c_str()).child(names_.name.c_str()).attribute(names_.val.c_str()).value();
                open_.push_back({slots_.size(), ""});
                slots_.push_back(std::move(field));
                types_.push_back(0);
            } else if (open_.empty()) {
                stray_ = stray_ || kind == "separate" || kind == "end";
            } else if (kind == "separate") {
                open_.back().separated = true;
            } else if (kind == "end") {
                const OpenField& field = open_.back();
                slots_[field.slot].endRun = element.parent();
                types_[field.slot] = TypeOfCode(field.code);
                open_.pop_back();
            }
            return false;
        }
        if (std::strcmp(elementName, instrText_) == 0) {
            if (open_.empty()) {
                stray_ = true;
            } else if (!open_.back().separated) {
                open_.back().code += element.text().get();
            }
            return false;
        }
        return !HoldsNoFieldsOfTheStory(elementName);
    }

    const WordNames& names_;
    const char* fldChar_;
    const char* instrText_;
    std::vector<FormField> slots_;
    std::vector<int> types_;
    std::vector<OpenField> open_;
    bool stray_ = false;
};

}  // namespace

std::vector<FormField> ScanFormFields(pugi::xml_node root, const WordNames& names) {
    FieldScanner scanner(names);
    scanner.Scan(root);
    return scanner.Fields();
}

std::optional<std::vector<FormField>> ScanInsertedFields(const std::vector<pugi::xml_node>& inserted,
                                                        const WordNames& names) {
    FieldScanner scanner(names);
    for (pugi::xml_node node : inserted) scanner.Scan(node);
    if (!scanner.SelfContained()) return std::nullopt;
    return scanner.Fields();
}

bool HoldsFieldsOfTheStory(pugi::xml_node node) {
    return node.type() != pugi::node_element || !HoldsNoFieldsOfTheStory(node.name());
}

}  // namespace office::word
