#include "platform/process/system_launcher.h"

#include "base/error.h"
#include "base/posix/null_ended.h"
#include "base/posix/own_environment.h"
#include "base/posix/unique_fd.h"
#include "base/system_message.h"
#include "platform/process/command_line_split.h"
#include "platform/process/output_drain.h"
#include "platform/process/pidfd_handle.h"
#include "platform/process/pipe_source.h"
#include "platform/process/take_outcome.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

namespace tallyrun {

namespace {

std::filesystem::path ExecutableDirectory()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

bool IsExecutableFile(const std::filesystem::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string Quoted(const std::string& program)
{
    return "\"" + program + "\"";
}

// The file is there (the search saw it), so "no such file" from exec means what it needs to run is missing: the
// interpreter its first line names, or for a binary the program loader it was built for.
std::string MissingRunner(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string line;
    std::getline(file, line);
    if (line.rfind("#!", 0) != 0)
        return "the program loader it was built for is missing";
    const auto start = line.find_first_not_of(" \t", 2);
    const auto end = line.find_first_of(" \t\r", start);
    if (start == std::string::npos)
        return "its first line names no interpreter";
    return "its interpreter " + line.substr(start, end - start) + " is missing";
}

// Moves `fd` above the standard three, so that setting those up cannot overwrite it. Async-signal-safe.
int AboveStandardStreams(int fd)
{
    return fd > STDERR_FILENO ? fd : ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
}

// Runs in the child between fork and exec, so it may only make async-signal-safe calls. Whatever goes wrong
// travels back through the error pipe as an error number; that pipe closes by itself when the exec succeeds.
[[noreturn]] void ExecChild(const char* path, char* const argv[], char* const envp[], int errorPipe, int output)
{
    errorPipe = AboveStandardStreams(errorPipe);
    output = AboveStandardStreams(output);
    if (errorPipe < 0 || output < 0)
        ::_exit(127);
    // An ignored signal stays ignored across exec; the client must not inherit, say, an ignored SIGPIPE or SIGINT
    // of ours. Handlers are reset by exec itself.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &byDefault, nullptr);  // fails harmlessly for SIGKILL, SIGSTOP and the C library's own
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const int devNull = ::open("/dev/null", O_RDONLY);
    bool ready = devNull >= 0 && (devNull == STDIN_FILENO || ::dup2(devNull, STDIN_FILENO) >= 0)
                 && ::dup2(output, STDOUT_FILENO) >= 0 && ::dup2(output, STDERR_FILENO) >= 0;
    if (ready) {
        if (devNull > STDERR_FILENO)
            ::close(devNull);
        // Nothing of ours beyond the standard three belongs to the client.
        ::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execve(path, argv, envp);
    }
    const int error = errno;
    while (::write(errorPipe, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

UniqueFd OpenPipe(UniqueFd& writeEnd, const std::string& what)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw SystemError(errno, what);
    writeEnd = UniqueFd(ends[1]);
    return UniqueFd(ends[0]);
}

}  // namespace

struct SystemLauncher::Children {
    struct Child {
        UniqueFd descriptor;  // the process descriptor, taken while the unreaped child still held its identifier
        std::shared_ptr<ClientOutcome> seenEnd = std::make_shared<ClientOutcome>();
        std::unique_ptr<OutputDrain> output;  // none once the outcome has been taken
    };
    std::map<std::int32_t, Child> running;

    Children() = default;
    Children(const Children&) = delete;
    Children& operator=(const Children&) = delete;
    ~Children() { ForgetEnded(); }

    // Reaps the children that have ended and forgets them, with those someone else has reaped already.
    void ForgetEnded()
    {
        std::erase_if(running, [](auto& child) {
            return ReapIfEnded(child.second.descriptor.Get(), child.second.seenEnd.get());
        });
    }
};

SystemLauncher::SystemLauncher() : SystemLauncher(ExecutableDirectory()) {}

SystemLauncher::SystemLauncher(std::filesystem::path firstDirectory)
    : m_firstDirectory(std::move(firstDirectory)), m_children(std::make_unique<Children>())
{
}

SystemLauncher::~SystemLauncher() = default;

std::filesystem::path SystemLauncher::FindProgram(const std::string& program) const
{
    const std::filesystem::path name(program);
    if (name.is_absolute()) {
        if (IsExecutableFile(name))
            return name;
        throw Error(ENOENT, "Cannot start " + Quoted(program) + ": there is no program of that name.");
    }

    // Never the current directory, not even through a relative search-path entry: a stray file there must not
    // stand in for the client.
    if (!m_firstDirectory.empty() && IsExecutableFile(m_firstDirectory / name))
        return m_firstDirectory / name;
    if (const char* searchPath = std::getenv("PATH")) {
        std::string_view rest(searchPath);
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            const std::filesystem::path directory(rest.substr(0, colon));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
            if (directory.is_absolute() && IsExecutableFile(directory / name))
                return directory / name;
        }
    }
    const std::string beside = m_firstDirectory.empty() ? "" : " in " + m_firstDirectory.string() + " or";
    throw Error(ENOENT, "Cannot start " + Quoted(program) + ": no program of that name was found" + beside +
                            " on the search path.");
}

std::unique_ptr<ProcessHandle> SystemLauncher::WatchChild(std::int32_t processId) const
{
    const auto child = m_children->running.find(processId);
    if (child == m_children->running.end())
        return nullptr;
    UniqueFd copy(::fcntl(child->second.descriptor.Get(), F_DUPFD_CLOEXEC, 0));
    if (!copy)
        return nullptr;
    return std::make_unique<PidfdHandle>(std::move(copy), child->second.seenEnd);
}

// There is no console window to hide on this system, so the window style changes nothing.
std::int32_t SystemLauncher::StartHidden(const std::string& commandLine, int)
{
    m_children->ForgetEnded();

    std::vector<std::string> words = SplitCommandLine(commandLine);
    const std::string program = words.front();
    if (program.empty())
        throw Error(ENOENT, "Cannot start a program: the command line names none.");
    const std::filesystem::path path = FindProgram(program);

    const std::vector<char*> argv = NullEnded(words);
    std::vector<std::string> environment = ChildEnvironment();
    const std::vector<char*> envp = NullEnded(environment);

    const std::string cannotStart = "Cannot start " + Quoted(program);
    UniqueFd writeEnd;
    const UniqueFd readEnd = OpenPipe(writeEnd, cannotStart);
    UniqueFd outputEnd;
    auto output = std::make_unique<OutputDrain>(std::make_unique<PipeSource>(OpenPipe(outputEnd, cannotStart)));

    const pid_t pid = ::fork();
    if (pid < 0)
        throw SystemError(errno, cannotStart);
    if (pid == 0)
        ExecChild(path.c_str(), argv.data(), envp.data(), writeEnd.Get(), outputEnd.Get());
    writeEnd.Reset();
    outputEnd.Reset();

    // The child is ours and unreaped, so its identifier cannot have passed to another process yet.
    UniqueFd child(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0U)));
    const int openError = errno;

    int execError = 0;
    ssize_t got = 0;
    do {
        got = ::read(readEnd.Get(), &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);

    if (got == static_cast<ssize_t>(sizeof execError)) {
        ::waitpid(pid, nullptr, 0);
        const std::string what = "Cannot start " + Quoted(program) + " (" + path.string() + ")";
        if (execError == ENOENT)
            throw Error(ENOENT, what + ": " + MissingRunner(path) + ".");
        throw SystemError(execError, what);
    }
    if (!child) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        throw SystemError(openError, "Cannot watch " + Quoted(program) + " after starting it");
    }
    m_children->running.emplace(static_cast<std::int32_t>(pid),
                                Children::Child{std::move(child), std::make_shared<ClientOutcome>(), std::move(output)});
    return static_cast<std::int32_t>(pid);
}

std::optional<ClientOutcome> SystemLauncher::TakeOutcome(std::int32_t processId)
{
    return TakeOutcomeOf(m_children->running, processId,
                         [](Children::Child& child) { return ReapIfEnded(child.descriptor.Get(), child.seenEnd.get()); });
}

}  // namespace tallyrun
