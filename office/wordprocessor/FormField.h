// A legacy form field of the main story: the complex field from the run that
// holds its begin mark to the run that holds its end mark.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace office::word {

struct WordNames;

// FormField.Type values.
constexpr int kTextInput = 70;
constexpr int kCheckBox = 71;
constexpr int kDropDown = 83;

struct FormField {
    pugi::xml_node beginRun;
    pugi::xml_node endRun;
    std::string name;  // ffData/w:name as stored, "" when absent
    int type = kTextInput;
    bool alive = true;  // false once the field left the document
};

using FormFieldPtr = std::shared_ptr<FormField>;

// The form fields under root, in document order of their begin marks.
// Fields of other kinds, fields without an end, and fields of other stories
// (text boxes) or of the fallback copy of alternate content are left out.
std::vector<FormField> ScanFormFields(pugi::xml_node root, const WordNames& names);
// The form fields of content just inserted (its top nodes in document
// order), or nullopt when one of its field marks would pair with a mark
// outside it, so that only a scan of the whole story tells the fields.
std::optional<std::vector<FormField>> ScanInsertedFields(const std::vector<pugi::xml_node>& inserted,
                                                        const WordNames& names);
// False for an element whose content the scan leaves out (properties, text
// boxes, the fallback of alternate content).
bool HoldsFieldsOfTheStory(pugi::xml_node node);

// Calls visit(element) for every element under root (root included), in
// document order. A visit that returns false skips the element's children.
template <typename Visit>
void ForEachElement(pugi::xml_node root, Visit visit) {
    pugi::xml_node node = root;
    while (node) {
        bool descend = true;
        if (node.type() == pugi::node_element) {
            if constexpr (std::is_same_v<decltype(visit(node)), bool>) {
                descend = visit(node);
            } else {
                visit(node);
            }
        }
        pugi::xml_node child = descend ? node.first_child() : pugi::xml_node();
        if (child) {
            node = child;
            continue;
        }
        while (node && node != root && !node.next_sibling()) node = node.parent();
        if (!node || node == root) break;
        node = node.next_sibling();
    }
}

// The nearest ancestor of node (node itself included) with that name.
pugi::xml_node AncestorNamed(pugi::xml_node node, const std::string& name);

}  // namespace office::word
