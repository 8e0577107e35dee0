// Starts programs hidden, looking first in the directory of the running executable.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/process_query.h"

#include <filesystem>

#ifndef _WIN32
#include "platform/core/unique_fd.h"

#include <vector>
#endif

namespace tallyrun {

class SystemLauncher : public Launcher {
public:
    // Looks for programs beside the running executable first.
    SystemLauncher();
    // Looks for programs in the given directory first.
    explicit SystemLauncher(std::filesystem::path firstDirectory);
    ~SystemLauncher() override;
    SystemLauncher(const SystemLauncher&) = delete;
    SystemLauncher& operator=(const SystemLauncher&) = delete;

    // Errors carry the system's error number (ENOENT when no program of that name is found).
    std::int32_t StartHidden(const std::string& commandLine, int windowStyle) override;

    // A handle on a program this launcher started, through what it kept of it at the start; nullptr for any other
    // identifier.
    std::unique_ptr<ProcessHandle> WatchChild(std::int32_t processId) const;

private:
    std::filesystem::path m_firstDirectory;
#ifndef _WIN32
    std::filesystem::path FindProgram(const std::string& program) const;
    // Reaps the children that have ended and forgets those someone else has reaped already.
    void ReapEnded();

    struct Child {
        std::int32_t processId;
        UniqueFd descriptor;  // the process descriptor, taken while the unreaped child still held its identifier
    };
    // The children we started and have not yet seen reaped.
    std::vector<Child> m_children;
#endif
};

}  // namespace tallyrun
