// A fresh word processor and an output folder per test.
#pragma once

#include "tests/office/wordprocessor/FillDriver.h"
#include "tests/office/wordprocessor/TemplateBuilder.h"
#include "tests/office/wordprocessor/WordTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace word_test {

class WordFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = MakeTempFolder();
        output = folder / "out";
        std::filesystem::create_directory(output);
        setenv("TOLVANE_OUTPUT_DIR", output.c_str(), 1);
        setenv("TOLVANE_OPEN", "0", 1);
        word = StartWord();
    }
    void TearDown() override {
        word = nullptr;
        CoUninitialize();
        std::filesystem::remove_all(folder);
    }

    // Shows the documents (writing them) and returns the main part of one.
    std::string Show(const std::string& name) {
        ::testing::internal::CaptureStdout();
        Put(word.Get(), u"Visible", Var(1));
        printed += ::testing::internal::GetCapturedStdout();
        return ReadMain(output, name);
    }

    size_t WrittenFiles() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(output), {}));
    }

    std::filesystem::path folder;
    std::filesystem::path output;
    ComPtr<IDispatch> word;
    std::string printed;
};

}  // namespace word_test
