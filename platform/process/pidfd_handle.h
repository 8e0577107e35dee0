// A process watched through its process descriptor, which names that one process for as long as it is open: an
// identifier, once the process is reaped, may already name a newcomer.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/process_query.h"
#include "base/posix/unique_fd.h"

#include <memory>

namespace tallyrun {

class PidfdHandle : public ProcessHandle {
public:
    // `seenEnd`, for a child of ours, receives how it ended when this handle reaps it.
    explicit PidfdHandle(UniqueFd fd, std::shared_ptr<ClientOutcome> seenEnd = nullptr)
        : m_fd(std::move(fd)), m_seenEnd(std::move(seenEnd))
    {
    }

    // An ended child of ours is reaped here, so the run leaves no zombie behind.
    std::optional<bool> StillActive() override;

private:
    UniqueFd m_fd;
    std::shared_ptr<ClientOutcome> m_seenEnd;
};

// Reaps the child `pidfd` names if it has ended, noting how in `seenEnd`. False while it runs; true once it has
// ended, or when it is not ours to reap (someone else's process, or one reaped already).
bool ReapIfEnded(int pidfd, ClientOutcome* seenEnd);

}  // namespace tallyrun
