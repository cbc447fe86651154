#include "ChildMeasurement.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// A field of /proc/self/status in bytes (the file gives kB).
size_t StatusBytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::stoul(line.substr(length + 1)) * 1024;
    }
    throw std::runtime_error(std::string("no ") + field + " in /proc/self/status");
}

// Lets VmHWM start again from the current resident size.
bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

[[noreturn]] void RunChild(int output, const std::function<double()>& work)
{
    Measurement result{};
    // The baseline is read after the reset, so that the pages the reset itself
    // touches count as before the work, not as part of it.
    bool reset = ResetPeak();
    size_t before = StatusBytes(reset ? "VmRSS" : "VmHWM");
    result.seconds = work();
    bool done = result.seconds >= 0;
    size_t peak = StatusBytes("VmHWM");
    result.peakBytes = peak > before ? peak - before : 0;
    if (done && write(output, &result, sizeof result) != static_cast<ssize_t>(sizeof result))
        _exit(2);
    _exit(done ? 0 : 1);
}

} // namespace

Measurement MeasureInChild(const std::function<double()>& work)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        close(pipeEnds[0]);
        RunChild(pipeEnds[1], work);
    }
    close(pipeEnds[1]);
    Measurement result{};
    ssize_t got = read(pipeEnds[0], &result, sizeof result);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != static_cast<ssize_t>(sizeof result) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the measured work failed");
    return result;
}
