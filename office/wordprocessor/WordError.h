// A request the word processor refuses; the text says what failed and is
// handed to the caller as the exception's description.
#pragma once

#include <stdexcept>
#include <string>

namespace office::word {

class WordError : public std::runtime_error {
public:
    explicit WordError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace office::word
