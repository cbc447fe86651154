// Runs a helper program to its end or to a time limit, in its own process
// group so that everything it starts ends with it.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace office {

// The program's full path on PATH, or nothing.
std::optional<std::filesystem::path> FindOnPath(const std::string& program);

struct ChildOutcome {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;  // -1 when it did not exit normally
};

// Standard input is /dev/null; standard output and error go to log.
ChildOutcome RunWithTimeLimit(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                              const std::filesystem::path& log, std::chrono::milliseconds limit);

}  // namespace office
