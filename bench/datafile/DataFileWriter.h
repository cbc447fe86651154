// Writes made-up data files of a chosen size in the shape the producing
// application writes: a META header, then many documents with single-value
// fields, record fields with value elements, and SQL texts.
#pragma once

#include <cstddef>
#include <string>

// Writes at least targetBytes (ending the document that crosses the size)
// and returns the size written.
size_t WriteDataFile(const std::string& path, size_t targetBytes);

// A data file whose one field holds a text of about textBytes, in lines.
void WriteLongTextFile(const std::string& path, size_t textBytes);

// A data file with nested entities that would expand to terabytes.
void WriteEntityExpansionFile(const std::string& path);
