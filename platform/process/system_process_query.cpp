#include "platform/process/system_process_query.h"

#include "platform/process/unique_fd.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tallyrun {

namespace {

// A process descriptor turns readable when the process ends; it also names the process without the risk of the
// identifier being handed to a newcomer while we look.
class PidfdHandle : public ProcessHandle {
public:
    explicit PidfdHandle(UniqueFd fd) : m_fd(std::move(fd)) {}

    std::optional<bool> StillActive() override
    {
        pollfd entry{m_fd.Get(), POLLIN, 0};
        const int ready = ::poll(&entry, 1, 0);
        if (ready < 0)
            return std::nullopt;
        if (ready == 0)
            return true;
        if ((entry.revents & POLLIN) == 0)
            return std::nullopt;
        // Ours to reap when we started it; for anyone else's process this fails with ECHILD, which is fine.
        siginfo_t info{};
        ::waitid(P_PIDFD, static_cast<id_t>(m_fd.Get()), &info, WEXITED | WNOHANG);
        return false;
    }

private:
    UniqueFd m_fd;
};

}  // namespace

std::unique_ptr<ProcessHandle> SystemProcessQuery::OpenProcess(std::int32_t processId)
{
    if (processId <= 0)
        return nullptr;
    UniqueFd fd(static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0U)));
    if (!fd)
        return nullptr;
    return std::make_unique<PidfdHandle>(std::move(fd));
}

}  // namespace tallyrun
