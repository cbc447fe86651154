// A legacy form field of the main story: the complex field from the run that
// holds its begin mark to the run that holds its end mark.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <string>
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
// Fields of other kinds, and fields without an end, are left out.
std::vector<FormField> ScanFormFields(pugi::xml_node root, const WordNames& names);

// Calls visit(element) for every element under root (root included), in document order.
template <typename Visit>
void ForEachElement(pugi::xml_node root, Visit visit) {
    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element) visit(node);
        if (pugi::xml_node child = node.first_child()) {
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
