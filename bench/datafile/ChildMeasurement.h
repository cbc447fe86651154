// Runs one piece of work in a child process with a fresh heap and reports its
// time and the memory it added at its peak.
#pragma once

#include <cstddef>
#include <functional>

struct Measurement {
    double seconds;
    size_t peakBytes;
};

// The work returns false on failure; the measurement then throws.
Measurement MeasureInChild(const std::function<bool()>& work);
