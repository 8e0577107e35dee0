#include "platform/process/system_launcher.h"

#include "base/error.h"
#include "base/system_message.h"
#include "base/windows/utf16_text.h"
#include "platform/process/command_line_split.h"
#include "platform/process/named_pipe_source_win.h"
#include "platform/process/output_drain.h"
#include "platform/process/take_outcome.h"
#include "base/windows/unique_handle.h"
#include "platform/process/win32_process_handle.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace tallyrun {

namespace {

std::string Quoted(const std::string& program)
{
    return "\"" + program + "\"";
}

std::string Shown(const std::filesystem::path& path)
{
    return Narrow(path.native());
}

bool IsProgramFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The search path as the system holds it; the C runtime's copy of the environment may lag behind.
std::wstring SearchPathVariable()
{
    std::wstring value;
    DWORD size = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    while (size > value.size()) {
        value.resize(size);
        size = ::GetEnvironmentVariableW(L"PATH", value.data(), static_cast<DWORD>(value.size()));
    }
    value.resize(size);
    return value;
}

std::filesystem::path ExecutableDirectory()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace

struct SystemLauncher::Children {
    struct Child {
        UniqueHandle process;  // held from the start on so that the identifier cannot pass to another process
        std::shared_ptr<ClientOutcome> seenEnd = std::make_shared<ClientOutcome>();
        std::unique_ptr<OutputDrain> output;  // none once the outcome has been taken
    };
    std::map<std::int32_t, Child> running;

    // A client is watched until it ends and not after, so its handle need not outlive it.
    void ForgetEnded()
    {
        std::erase_if(running, [](const auto& child) {
            return ::WaitForSingleObject(child.second.process.Get(), 0) != WAIT_TIMEOUT;
        });
    }
};

SystemLauncher::SystemLauncher() : SystemLauncher(ExecutableDirectory()) {}

SystemLauncher::SystemLauncher(std::filesystem::path firstDirectory)
    : m_firstDirectory(std::move(firstDirectory)), m_children(std::make_unique<Children>())
{
}

SystemLauncher::~SystemLauncher() = default;

std::unique_ptr<ProcessHandle> SystemLauncher::WatchChild(std::int32_t processId) const
{
    const auto child = m_children->running.find(processId);
    if (child == m_children->running.end())
        return nullptr;
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), child->second.process.Get(), ::GetCurrentProcess(), &copy,
                           PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, 0))
        return nullptr;
    return std::make_unique<Win32ProcessHandle>(UniqueHandle(copy), child->second.seenEnd);
}

// Given no application name, CreateProcessW would look in the current directory before anywhere else, so the
// client is always found here and passed by its full path.
std::filesystem::path SystemLauncher::FindProgram(const std::string& program) const
{
    std::filesystem::path name(Widen(program, Malformed::Refuse));
    if (!name.has_extension())
        name += L".exe";
    if (name.is_absolute()) {
        if (IsProgramFile(name))
            return name;
        throw Error(ERROR_FILE_NOT_FOUND, "Cannot start " + Quoted(program) + ": there is no program of that name.");
    }

    // A name with a drive but no root ("C:osql") or a root but no drive ("\osql") leans on the current directory.
    if (!name.has_root_path()) {
        if (!m_firstDirectory.empty() && IsProgramFile(m_firstDirectory / name))
            return m_firstDirectory / name;
        const std::wstring searchPath = SearchPathVariable();
        std::wstring_view rest(searchPath);
        while (!rest.empty()) {
            const auto semicolon = rest.find(L';');
            const std::filesystem::path directory(rest.substr(0, semicolon));
            rest = semicolon == std::wstring_view::npos ? std::wstring_view() : rest.substr(semicolon + 1);
            if (directory.is_absolute() && IsProgramFile(directory / name))
                return directory / name;
        }
    }
    const std::string beside = m_firstDirectory.empty() ? "" : " in " + Shown(m_firstDirectory) + " or";
    throw Error(ERROR_FILE_NOT_FOUND, "Cannot start " + Quoted(program) + ": no program of that name was found" +
                                          beside + " on the search path.");
}

std::int32_t SystemLauncher::StartHidden(const std::string& commandLine, int windowStyle)
{
    m_children->ForgetEnded();

    const std::string program = SplitCommandLine(commandLine).front();
    if (program.empty())
        throw Error(ERROR_FILE_NOT_FOUND, "Cannot start a program: the command line names none.");
    const std::filesystem::path application = FindProgram(program);
    std::wstring line = Widen(commandLine, Malformed::Refuse);

    UniqueHandle outputEnd;
    auto output = std::make_unique<OutputDrain>(NamedPipeSource::Create(outputEnd));
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle input = FileHandle(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                        &inheritable, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    // The window styles are the system's own show commands: 0 is SW_HIDE.
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    startup.hStdInput = input.Get();
    startup.hStdOutput = outputEnd.Get();
    startup.hStdError = outputEnd.Get();
    PROCESS_INFORMATION started{};
    // The client is a console program: without CREATE_NO_WINDOW it would share our console, or open a console
    // window of its own when we have none. Only the run handler starts programs, on the one user-interface
    // thread, so the handles it inherits are these two alone.
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &started)) {
        const DWORD code = ::GetLastError();
        throw SystemError(static_cast<long>(code), "Cannot start " + Quoted(program) + " (" + Shown(application) + ")");
    }
    const UniqueHandle thread(started.hThread);
    m_children->running.emplace(static_cast<std::int32_t>(started.dwProcessId),
                                Children::Child{UniqueHandle(started.hProcess), std::make_shared<ClientOutcome>(),
                                                std::move(output)});
    return static_cast<std::int32_t>(started.dwProcessId);
}

std::optional<ClientOutcome> SystemLauncher::TakeOutcome(std::int32_t processId)
{
    return TakeOutcomeOf(m_children->running, processId,
                         [](Children::Child& child) { return NoteExitIfEnded(child.process.Get(), *child.seenEnd); });
}

}  // namespace tallyrun
