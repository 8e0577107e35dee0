// Queries processes of this system by identifier.
#pragma once

#include "platform/core/process_query.h"

namespace tallyrun {

// An ended process that is a child of ours is reaped when it is found ended, so the run leaves no zombie behind.
class SystemProcessQuery : public ProcessQuery {
public:
    std::unique_ptr<ProcessHandle> OpenProcess(std::int32_t processId) override;
};

}  // namespace tallyrun
