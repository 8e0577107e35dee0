// A process watched through its process descriptor, which names that one process for as long as it is open: an
// identifier, once the process is reaped, may already name a newcomer.
#pragma once

#include "platform/core/process_query.h"
#include "platform/core/unique_fd.h"

namespace tallyrun {

class PidfdHandle : public ProcessHandle {
public:
    explicit PidfdHandle(UniqueFd fd) : m_fd(std::move(fd)) {}

    // An ended child of ours is reaped here, so the run leaves no zombie behind.
    std::optional<bool> StillActive() override;

private:
    UniqueFd m_fd;
};

}  // namespace tallyrun
