#include "office/wordprocessor/FieldPlaces.h"

#include <algorithm>
#include <unordered_map>

namespace office::word {
namespace {

using TopPositions = std::unordered_map<const void*, size_t>;

std::vector<size_t> PathOf(pugi::xml_node node, const TopPositions& tops) {
    std::vector<size_t> path;
    for (;; node = node.parent()) {
        auto top = tops.find(node.internal_object());
        if (top != tops.end()) {
            path.push_back(top->second);
            break;
        }
        size_t position = 0;
        for (pugi::xml_node sibling = node.previous_sibling(); sibling; sibling = sibling.previous_sibling()) ++position;
        path.push_back(position);
    }
    std::reverse(path.begin(), path.end());
    return path;
}

pugi::xml_node NodeAt(const std::vector<size_t>& path, const std::vector<pugi::xml_node>& copy) {
    pugi::xml_node node = copy[path.front()];
    for (size_t level = 1; level < path.size(); ++level) {
        node = node.first_child();
        for (size_t step = 0; step < path[level]; ++step) node = node.next_sibling();
    }
    return node;
}

}  // namespace

FieldPlaces::FieldPlaces(const std::vector<pugi::xml_node>& content, const WordNames& names) : names_(names) {
    std::optional<std::vector<FormField>> fields = ScanInsertedFields(content, names);
    if (!fields) return;
    selfContained_ = true;
    TopPositions tops;
    for (size_t i = 0; i < content.size(); ++i) tops.emplace(content[i].internal_object(), i);
    size_t nodes = 0;
    for (pugi::xml_node top : content) ForEachElement(top, [&](pugi::xml_node) { ++nodes; });
    size_t steps = 0;
    for (FormField& field : *fields) {
        Place place{PathOf(field.beginRun, tops), PathOf(field.endRun, tops), std::move(field)};
        place.field.beginRun = place.field.endRun = pugi::xml_node();
        for (const std::vector<size_t>* path : {&place.begin, &place.end}) {
            steps += path->size();
            for (size_t position : *path) steps += position;
        }
        places_.push_back(std::move(place));
    }
    // Many fields far along one paragraph are found sooner by a scan.
    byPlace_ = steps <= nodes;
}

std::vector<FormField> FieldPlaces::In(const std::vector<pugi::xml_node>& copy) const {
    if (!byPlace_) return ScanInsertedFields(copy, names_).value_or(std::vector<FormField>());
    std::vector<FormField> fields;
    fields.reserve(places_.size());
    for (const Place& place : places_) {
        FormField field = place.field;
        field.beginRun = NodeAt(place.begin, copy);
        field.endRun = NodeAt(place.end, copy);
        fields.push_back(std::move(field));
    }
    return fields;
}

}  // namespace office::word
