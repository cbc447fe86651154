// Reading back what the word processor wrote, for assertions.
#pragma once

#include <filesystem>
#include <string>

namespace word_test {

// The main part of folder/<name>.docx.
std::string ReadMain(const std::filesystem::path& folder, const std::string& name);

// The paragraph texts of a main part, joined by "|".
std::string ParagraphTexts(const std::string& documentXml);

// Occurrences of needle in text.
size_t CountOf(const std::string& text, const std::string& needle);

}  // namespace word_test
