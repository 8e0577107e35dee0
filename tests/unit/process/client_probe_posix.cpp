#include "tests/unit/process/client_probe.h"

#include <signal.h>

#include <cerrno>
#include <cstdlib>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace tallyrun::probe {

std::string PrintLine(int lines, int code)
{
    return "/bin/sh -c \"echo 1; echo to stderr >&2; /usr/bin/seq 2 " + std::to_string(lines) + "; exit " +
           std::to_string(code) + "\"";
}

std::filesystem::path WaitProgram() { return "/bin/sleep"; }
std::string WaitArguments() { return " 30"; }

std::filesystem::path ProgramOf(std::int32_t processId)
{
    std::error_code gone;
    return std::filesystem::read_symlink("/proc/" + std::to_string(processId) + "/exe", gone);
}

std::string SpawnLine() { return "/bin/sh -c \"/bin/sleep 30 & echo $!\""; }

// Ended means a zombie or gone: a child of ours is left unreaped for its launcher to reap.
ClientOutcome EndFromOutside(std::int32_t processId)
{
    ::kill(processId, SIGKILL);
    for (int i = 0; i < 500; ++i) {
        std::ifstream stat("/proc/" + std::to_string(processId) + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.at(line.rfind(')') + 2) == 'Z')
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {ClientOutcome::End::Signalled, SIGKILL, ""};
}

std::size_t OpenHandles()
{
    namespace fs = std::filesystem;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

std::vector<std::string> CurrentDirectoryNames(const std::filesystem::path&, const std::string& name)
{
    return {"./" + name, "relative/" + name};
}

std::string PathVariable()
{
    const char* value = std::getenv("PATH");
    return value ? value : "";
}

void SetPathVariable(const std::string& value) { ::setenv("PATH", value.c_str(), 1); }
char PathVariableSeparator() { return ':'; }
long NotFound() { return ENOENT; }

}  // namespace tallyrun::probe
