// Runs WordGenerator on a data file of tests/word/data with the real word
// processor and the record backend, into an output folder of its own, and
// reads the written documents back with python-docx.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafile/DataFile.h"
#include "tests/generator/TestDialog.h"
#include "word/WordGenerator.h"

class WordRun : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Loads the data file, from tests/word/data or, given with a folder, from
    // the source tree (placeholders @EXAMPLES@, @SAMPLES@, @DATA@ replaced),
    // and runs a WordGenerator on it; the tree stays for inspection.
    int32_t Run(const std::string& dataFile);

    // Names of the written .docx files, sorted.
    std::vector<std::string> Documents() const;
    // The body of a written document, one line per paragraph or table row.
    std::vector<std::string> Text(const std::string& document) const;
    // The form fields left in a written document: kind TAB name.
    std::vector<std::string> Fields(const std::string& document) const;
    // Table rows of the body (the lines that hold a TAB).
    std::vector<std::string> Rows(const std::string& document) const;

    // A field element of the document element at that position, after the run.
    Element* Field(uint32_t document, const std::string& name) const;

    TestDialog dialog;
    std::string outputFolder;
    std::unique_ptr<DataFile> data;
    std::unique_ptr<WordGenerator> generator;

private:
    std::vector<std::string> ReadDocx(const std::string& mode, const std::string& document) const;

    std::string workFolder;
    char* progressText = nullptr;
};
