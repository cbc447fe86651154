// The "-v" version query: may a caller rely on a given version of this program?
#pragma once

#include <string>

enum class VersionQuery {
    None,      // no query: the command line is a data file path
    Refused,   // the version asked for is newer than this program: exit code -1
    Answered,  // accepted and nothing else to do: exit code 0
    Continue,  // accepted; the command line now holds the data file path that followed
};

// A query is recognised only where the command line begins with "-v" after
// leading blanks, so data file paths such as "report-v2.xml" are never taken
// for one. "-v" with nothing after it is refused. After an accepted version
// the rest of the command line, leading blanks removed, is the data file path,
// taken whole like any other; with fewer than two characters there is none.
VersionQuery ReadVersionQuery(std::string& commandLine);

// Whether this program (1.1.5) supports the version asked for.
bool IsVersionSupported(const std::string& version);
