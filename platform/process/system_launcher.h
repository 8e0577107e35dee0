// Starts programs hidden, looking first in the directory of the running executable.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/process_query.h"

#include <filesystem>
#include <memory>

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

    // Errors carry the system's error number (ENOENT, on Windows ERROR_FILE_NOT_FOUND, when no program of that
    // name is found).
    std::int32_t StartHidden(const std::string& commandLine, int windowStyle) override;

    // A handle on a program this launcher started, through what it kept of it at the start; nullptr for any other
    // identifier.
    std::unique_ptr<ProcessHandle> WatchChild(std::int32_t processId) const;

private:
    // The first directory, then the absolute entries of the search path; never the current directory.
    std::filesystem::path FindProgram(const std::string& program) const;

    // The children started and not yet forgotten, each with what names that one process for good; what that is
    // depends on the system.
    struct Children;

    std::filesystem::path m_firstDirectory;
    std::unique_ptr<Children> m_children;
};

}  // namespace tallyrun
