#include "platform/process/system_process_query.h"

#include "platform/process/system_launcher.h"
#include "platform/process/win32_process_handle.h"

namespace tallyrun {

std::optional<bool> Win32ProcessHandle::StillActive()
{
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(m_process.Get(), &exitCode))
        return std::nullopt;
    if (exitCode != STILL_ACTIVE)
        return false;
    // A process may end with the code that also means "still active"; only its handle being unsignalled says for
    // sure that it runs.
    switch (::WaitForSingleObject(m_process.Get(), 0)) {
    case WAIT_TIMEOUT:
        return true;
    case WAIT_OBJECT_0:
        return false;
    default:
        return std::nullopt;
    }
}

SystemProcessQuery::SystemProcessQuery(const SystemLauncher& launcher) : m_launcher(&launcher) {}

// Identifier 0 is the system's idle process, which OpenProcess refuses to open: it reads as ended.
std::unique_ptr<ProcessHandle> SystemProcessQuery::OpenProcess(std::int32_t processId)
{
    if (m_launcher)
        if (auto child = m_launcher->WatchChild(processId))
            return child;
    UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
    if (!process)
        return nullptr;
    return std::make_unique<Win32ProcessHandle>(std::move(process));
}

}  // namespace tallyrun
