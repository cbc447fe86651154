#include "shell/VersionQuery.h"

#include <cstdlib>

namespace {

// As a standard string-to-integer conversion reads it: leading white space,
// sign, digits; 0 when there are none.
long LeadingNumber(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

}  // namespace

bool IsVersionSupported(const std::string& version) {
    if (version == "1.0") {
        return true;
    }
    const size_t firstDot = version.find('.');
    if (firstDot == std::string::npos) {
        return false;
    }
    const long major = LeadingNumber(version.substr(0, firstDot));
    if (major != 1) {
        return major < 1;
    }
    const size_t secondDot = version.find('.', firstDot + 1);
    if (secondDot == std::string::npos) {
        return false;
    }
    const long minor = LeadingNumber(version.substr(firstDot + 1, secondDot - firstDot - 1));
    if (minor != 1) {
        return minor < 1;
    }
    return LeadingNumber(version.substr(secondDot + 1)) <= 5;
}

VersionQuery ReadVersionQuery(std::string& commandLine) {
    const size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos || commandLine.compare(start, 2, "-v") != 0) {
        return VersionQuery::None;
    }
    // "-v", one separator character, then the version.
    const size_t versionStart = start + 3;
    if (versionStart > commandLine.size()) {
        return VersionQuery::Refused;
    }
    const size_t blank = commandLine.find(' ', versionStart);
    const std::string version = commandLine.substr(versionStart, blank == std::string::npos ? std::string::npos : blank - versionStart);
    std::string rest = blank == std::string::npos ? std::string() : commandLine.substr(blank + 1);
    if (!IsVersionSupported(version)) {
        return VersionQuery::Refused;
    }
    const size_t pathStart = rest.find_first_not_of(" \t");
    commandLine = pathStart == std::string::npos ? std::string() : rest.substr(pathStart);
    return commandLine.size() < 2 ? VersionQuery::Answered : VersionQuery::Continue;
}
