// The one failure type of the package layer. Its text names the file and the
// reason, so the automation servers can hand it on unchanged.
#pragma once

#include <stdexcept>
#include <string>

namespace office {

class PackageError : public std::runtime_error {
public:
    explicit PackageError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace office
