// Zip files of given parts for tests that build packages by hand.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using Parts = std::vector<std::pair<std::string, std::string>>;

// A zip of the parts (name, bytes) in order, written by the package's own zip writer.
std::string ZipOfParts(const Parts& parts);

// The parts followed by `name` holding `size` zero bytes, deflated as tightly
// as zlib can (about a thousand to one).
std::string BombZipOfParts(const Parts& parts, const std::string& name, size_t size);
