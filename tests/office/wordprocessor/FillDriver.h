// The program's sequence of calls for one document (row pass, then field
// pass), for tests and the benchmark.
#pragma once

#include "tests/office/wordprocessor/WordAutomation.h"

#include <deque>
#include <string>
#include <vector>

namespace word_test {

struct FieldData {
    std::string name;
    int numRecords = 1;
    std::deque<std::string> values;
    bool expanded = false;
};

// Documents.Add(templatePath), repeats rows or paragraphs, fills every text
// form field, detaches the template. Returns the document.
ComPtr<IDispatch> BuildDocument(IDispatch* word, const std::string& templatePath, std::vector<FieldData> fields);

}  // namespace word_test
