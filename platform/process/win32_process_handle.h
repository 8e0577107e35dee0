// A process watched through a handle on it. The handle names that one process for as long as it is open, and
// keeps its identifier from passing to another.
#pragma once

#include "platform/core/process_query.h"
#include "platform/process/unique_handle.h"

namespace tallyrun {

class Win32ProcessHandle : public ProcessHandle {
public:
    // `process` needs PROCESS_QUERY_INFORMATION and SYNCHRONIZE access.
    explicit Win32ProcessHandle(UniqueHandle process) : m_process(std::move(process)) {}

    std::optional<bool> StillActive() override;

private:
    UniqueHandle m_process;
};

}  // namespace tallyrun
