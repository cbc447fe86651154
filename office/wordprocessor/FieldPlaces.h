// Where the form fields of the content on the clipboard lie, found once per
// copy made: every paste of it inserts the same nodes, so the fields of a
// pasted copy are reached by their child positions instead of by a scan.
#pragma once

#include "office/wordprocessor/FormField.h"

#include <vector>

namespace office::word {

class FieldPlaces {
public:
    // content: the top nodes of what is pasted, in order.
    FieldPlaces(const std::vector<pugi::xml_node>& content, const WordNames& names);

    // False when a field mark of the content would pair with one outside it.
    bool SelfContained() const { return selfContained_; }
    // The fields of a pasted copy of the content, given its top nodes.
    std::vector<FormField> In(const std::vector<pugi::xml_node>& copy) const;

private:
    struct Place {
        std::vector<size_t> begin, end;  // child positions from the top nodes down to the runs
        FormField field;
    };

    const WordNames& names_;
    bool selfContained_ = false;
    bool byPlace_ = true;
    std::vector<Place> places_;
};

}  // namespace office::word
