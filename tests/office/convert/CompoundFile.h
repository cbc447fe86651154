// Files that look like the old formats to the format detection, made by hand.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A compound file whose directory holds these entries (name, object type:
// 1 storage, 2 stream, 5 root), with 512- (shift 9) or 4096-byte sectors.
std::string CompoundFile(const std::vector<std::pair<std::string, int>>& entries, unsigned shift = 9);

// A binary Word or Excel file as the detection sees one.
std::string BinaryWordFile();
std::string BinaryExcelFile();

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
