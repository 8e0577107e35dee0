// Runs a program as a child process with a bounded wait, keeping its standard output and error apart.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tallyrun::testing {

struct ChildOutcome {
    bool finished = false;  // false: killed when the time ran out
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

// `environment` entries (NAME=VALUE) replace or add to this process's own.
ChildOutcome RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                      std::chrono::milliseconds limit);

}  // namespace tallyrun::testing
