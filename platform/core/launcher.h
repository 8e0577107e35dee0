// Starting the command-line client with its window hidden, and learning afterwards how its run ended.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tallyrun {

inline constexpr int WindowStyleHidden = 0;

// What a launcher keeps of one client it started, once the client has ended.
struct ClientOutcome {
    enum class End {
        Exited,    // `code` is the exit status
        Signalled, // `code` is the number of the signal that ended it (systems with signals only)
        Unknown,   // the end was not seen: the process could not be queried, or someone else collected it
    };
    End end = End::Unknown;
    int code = 0;
    // Standard output and error together, in the order written: the beginning and the end of it when there was
    // more than the launcher keeps, with a line in between saying how much was left out.
    std::string output;
};

class Launcher {
public:
    // How long TakeOutcome may wait for output still in transit after the client has ended.
    static constexpr std::chrono::milliseconds OutcomeWait{500};

    virtual ~Launcher() = default;
    // Starts the program named by the line's first word with the rest as its arguments and returns its process
    // identifier. Raises an Error that names the program and the cause when it cannot be started.
    virtual std::int32_t StartHidden(const std::string& commandLine, int windowStyle) = 0;

    // Hands over, once, what was kept of the client `processId` after it has ended (or been given up on), and
    // forgets it. Waits no longer than OutcomeWait. nullopt for an identifier this launcher did not start.
    virtual std::optional<ClientOutcome> TakeOutcome(std::int32_t processId) = 0;
};

}  // namespace tallyrun
