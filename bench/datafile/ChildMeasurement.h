// Runs one piece of work in a child process with a fresh heap and reports its
// time and the memory it added at its peak.
#pragma once

#include <cstddef>
#include <functional>

struct Measurement {
    double seconds;
    size_t peakBytes;
};

// The work times the part it is measured for and returns the seconds, or a
// negative number on failure, which makes the measurement throw.
Measurement MeasureInChild(const std::function<double()>& work);
