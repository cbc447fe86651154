// The one exception type of the program: automation failures and data files
// that cannot be loaded. It carries nothing but the text the user will see.
#pragma once

#include <string>

class COMException {
public:
    explicit COMException(std::string text) : message(std::move(text)) {}

    std::string message;
};
