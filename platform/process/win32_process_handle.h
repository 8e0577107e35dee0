// A process watched through a handle on it. The handle names that one process for as long as it is open, and
// keeps its identifier from passing to another.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/process_query.h"
#include "base/windows/unique_handle.h"

#include <memory>

namespace tallyrun {

class Win32ProcessHandle : public ProcessHandle {
public:
    // `process` needs PROCESS_QUERY_INFORMATION and SYNCHRONIZE access. `seenEnd`, for a child of ours, receives
    // its exit code once this handle sees it ended.
    explicit Win32ProcessHandle(UniqueHandle process, std::shared_ptr<ClientOutcome> seenEnd = nullptr)
        : m_process(std::move(process)), m_seenEnd(std::move(seenEnd))
    {
    }

    std::optional<bool> StillActive() override;

private:
    UniqueHandle m_process;
    std::shared_ptr<ClientOutcome> m_seenEnd;
};

// Notes the exit code of `process` in `seenEnd` once it has ended; false while it runs or cannot be asked.
bool NoteExitIfEnded(HANDLE process, ClientOutcome& seenEnd);

}  // namespace tallyrun
