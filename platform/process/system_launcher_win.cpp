#include "platform/process/system_launcher.h"

#include "platform/core/error.h"
#include "platform/process/command_line_split.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace tallyrun {

namespace {

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        throw Error(ERROR_NO_UNICODE_TRANSLATION, "The command line is not valid UTF-8 text.");
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

std::string Narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                          nullptr);
    return narrow;
}

std::string SystemMessage(DWORD code)
{
    wchar_t buffer[512];
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' '))
        --length;
    if (length == 0)
        return "system error " + std::to_string(code) + ".";
    return Narrow(std::wstring_view(buffer, length));
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

SystemLauncher::SystemLauncher() : SystemLauncher(ExecutableDirectory()) {}

SystemLauncher::SystemLauncher(std::filesystem::path firstDirectory) : m_firstDirectory(std::move(firstDirectory)) {}

SystemLauncher::~SystemLauncher() = default;

// The process handle of a started client is closed at once; watchers open it by identifier, as OpenProcess intends.
std::unique_ptr<ProcessHandle> SystemLauncher::WatchChild(std::int32_t) const
{
    return nullptr;
}

std::int32_t SystemLauncher::StartHidden(const std::string& commandLine, int windowStyle)
{
    const std::string program = SplitCommandLine(commandLine).front();
    if (program.empty())
        throw Error(ERROR_FILE_NOT_FOUND, "Cannot start a program: the command line names none.");
    std::wstring line = Widen(commandLine);

    // A client beside us wins, as everywhere else; otherwise the system's own search finds it.
    std::wstring application;
    if (!m_firstDirectory.empty()) {
        std::filesystem::path candidate = m_firstDirectory / std::filesystem::path(Widen(program));
        if (!candidate.has_extension())
            candidate += L".exe";
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error))
            application = candidate.wstring();
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    // The window styles are the system's own show commands: 0 is SW_HIDE.
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                          FALSE, 0, nullptr, nullptr, &startup, &started)) {
        const DWORD code = ::GetLastError();
        throw Error(static_cast<long>(code), "Cannot start \"" + program + "\": " + SystemMessage(code));
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return static_cast<std::int32_t>(started.dwProcessId);
}

}  // namespace tallyrun
