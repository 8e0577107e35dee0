// Starting the command-line client with its window hidden.
#pragma once

#include <cstdint>
#include <string>

namespace tallyrun {

inline constexpr int WindowStyleHidden = 0;

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program named by the line's first word with the rest as its arguments and returns its process
    // identifier. Raises an Error that names the program and the cause when it cannot be started.
    virtual std::int32_t StartHidden(const std::string& commandLine, int windowStyle) = 0;
};

}  // namespace tallyrun
