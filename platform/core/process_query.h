// Asking whether a process is still running: open it, read its exit state, close it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace tallyrun {

// An open process; closing happens when the handle is destroyed.
class ProcessHandle {
public:
    virtual ~ProcessHandle() = default;
    // true while the process is still active, false once it has ended; nullopt when the state cannot be read.
    virtual std::optional<bool> StillActive() = 0;
};

class ProcessQuery {
public:
    virtual ~ProcessQuery() = default;
    // nullptr when the process does not exist or may not be opened.
    virtual std::unique_ptr<ProcessHandle> OpenProcess(std::int32_t processId) = 0;
};

}  // namespace tallyrun
