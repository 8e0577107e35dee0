#include "platform/process/system_process_query.h"

#include "platform/process/system_launcher.h"

#include <windows.h>

namespace tallyrun {

namespace {

class Win32ProcessHandle : public ProcessHandle {
public:
    Win32ProcessHandle() = default;
    Win32ProcessHandle(const Win32ProcessHandle&) = delete;
    Win32ProcessHandle& operator=(const Win32ProcessHandle&) = delete;
    ~Win32ProcessHandle() override
    {
        if (m_handle != nullptr)
            ::CloseHandle(m_handle);
    }

    bool Open(std::int32_t processId)
    {
        m_handle = ::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
        return m_handle != nullptr;
    }

    std::optional<bool> StillActive() override
    {
        DWORD exitCode = 0;
        if (!::GetExitCodeProcess(m_handle, &exitCode))
            return std::nullopt;
        if (exitCode != STILL_ACTIVE)
            return false;
        // A process may end with the code that also means "still active"; only its handle being unsignalled
        // says for sure that it runs.
        switch (::WaitForSingleObject(m_handle, 0)) {
        case WAIT_TIMEOUT:
            return true;
        case WAIT_OBJECT_0:
            return false;
        default:
            return std::nullopt;
        }
    }

private:
    HANDLE m_handle = nullptr;
};

}  // namespace

SystemProcessQuery::SystemProcessQuery(const SystemLauncher& launcher) : m_launcher(&launcher) {}

std::unique_ptr<ProcessHandle> SystemProcessQuery::OpenProcess(std::int32_t processId)
{
    if (m_launcher)
        if (auto child = m_launcher->WatchChild(processId))
            return child;
    // The handle is owned from the moment it exists, so no failure can leak it.
    auto process = std::make_unique<Win32ProcessHandle>();
    if (!process->Open(processId))
        return nullptr;
    return process;
}

}  // namespace tallyrun
