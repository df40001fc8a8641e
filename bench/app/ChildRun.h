#pragma once
// A child process run to its end with its standard output read through a
// pipe, as a user runs a program: what it took in time and memory.

#include <cstddef>
#include <string>
#include <vector>

namespace benchapp {

struct ChildRun {
    std::string out;         // its standard output, when kept
    std::size_t outBytes = 0;
    double realSeconds = 0;
    double cpuSeconds = 0;   // user and system
    long long peakBytes = 0; // its peak resident size
    int status = -1;
};

ChildRun RunChild(std::vector<std::string> args, bool keepOutput = false);

} // namespace benchapp
