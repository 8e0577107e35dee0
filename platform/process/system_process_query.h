// Queries processes of this system by identifier.
#pragma once

#include "platform/core/process_query.h"

namespace tallyrun {

class SystemLauncher;

class SystemProcessQuery : public ProcessQuery {
public:
    // Any process, opened by its identifier.
    SystemProcessQuery() = default;
    // The processes `launcher` started are watched through what it holds of them, never reopened by identifier;
    // the launcher must outlive the query.
    explicit SystemProcessQuery(const SystemLauncher& launcher);

    std::unique_ptr<ProcessHandle> OpenProcess(std::int32_t processId) override;

private:
    const SystemLauncher* m_launcher = nullptr;
};

}  // namespace tallyrun
