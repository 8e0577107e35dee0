#include "platform/process/system_process_query.h"

#include "platform/process/pidfd_handle.h"
#include "platform/process/system_launcher.h"

#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tallyrun {

std::optional<bool> PidfdHandle::StillActive()
{
    pollfd entry{m_fd.Get(), POLLIN, 0};
    const int ready = ::poll(&entry, 1, 0);
    if (ready < 0)
        return std::nullopt;
    if (ready == 0)
        return true;
    if ((entry.revents & POLLIN) == 0)
        return std::nullopt;
    ReapIfEnded(m_fd.Get(), m_seenEnd.get());
    return false;
}

bool ReapIfEnded(int pidfd, ClientOutcome* seenEnd)
{
    // Ours to reap when we started it; for anyone else's process, or one reaped already, this fails with ECHILD.
    siginfo_t info{};
    if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOHANG) != 0)
        return true;
    if (info.si_pid == 0)
        return false;
    if (seenEnd) {
        seenEnd->end = info.si_code == CLD_EXITED ? ClientOutcome::End::Exited : ClientOutcome::End::Signalled;
        seenEnd->code = info.si_status;
    }
    return true;
}

SystemProcessQuery::SystemProcessQuery(const SystemLauncher& launcher) : m_launcher(&launcher) {}

std::unique_ptr<ProcessHandle> SystemProcessQuery::OpenProcess(std::int32_t processId)
{
    if (processId <= 0)
        return nullptr;
    if (m_launcher)
        if (auto child = m_launcher->WatchChild(processId))
            return child;
    UniqueFd fd(static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(processId), 0U)));
    if (!fd)
        return nullptr;
    return std::make_unique<PidfdHandle>(std::move(fd));
}

}  // namespace tallyrun
