// Zip files of given parts for tests that build packages by hand.
#pragma once

#include <string>
#include <utility>
#include <vector>

// A zip of the parts (name, bytes) in order, written by the package's own zip writer.
std::string ZipOfParts(const std::vector<std::pair<std::string, std::string>>& parts);
