// Queries processes of this system by identifier.
#pragma once

#include "platform/core/process_query.h"

namespace tallyrun {

class SystemProcessQuery : public ProcessQuery {
public:
    std::unique_ptr<ProcessHandle> OpenProcess(std::int32_t processId) override;
};

}  // namespace tallyrun
