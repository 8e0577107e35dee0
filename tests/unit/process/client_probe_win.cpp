#include "tests/unit/process/client_probe.h"

#include "base/windows/unique_handle.h"

#include <windows.h>

#include <cstdint>

namespace tallyrun::probe {

std::string PrintLine(int lines, int code)
{
    return "process_probe print " + std::to_string(lines) + " " + std::to_string(code);
}

std::filesystem::path WaitProgram()
{
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    return std::filesystem::path(module).parent_path() / L"process_probe.exe";
}

std::string WaitArguments() { return " wait"; }

std::filesystem::path ProgramOf(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
    wchar_t name[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, name, &size))
        return {};
    return std::filesystem::path(std::wstring(name, size));
}

std::string SpawnLine() { return "process_probe spawn"; }

// Windows tells only the code a process was ended with.
ClientOutcome EndFromOutside(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
    if (process && ::TerminateProcess(process.Get(), 1))
        ::WaitForSingleObject(process.Get(), 30000);
    return {ClientOutcome::End::Exited, 1, ""};
}

// Wine answers GetProcessHandleCount with 0, so the handles are counted one by one, as the system hands them
// out: multiples of four from four up.
std::size_t OpenHandles()
{
    std::size_t count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// A name with a root but no drive leans on the current drive.
std::vector<std::string> CurrentDirectoryNames(const std::filesystem::path& current, const std::string& name)
{
    return {"relative\\" + name, "\\" + (current.relative_path() / name).string()};
}

// The system's own copy: the C runtime's may lag behind.
std::string PathVariable()
{
    std::string value(32767, '\0');
    value.resize(::GetEnvironmentVariableA("PATH", value.data(), static_cast<DWORD>(value.size())));
    return value;
}

void SetPathVariable(const std::string& value) { ::SetEnvironmentVariableA("PATH", value.c_str()); }
char PathVariableSeparator() { return ';'; }
long NotFound() { return ERROR_FILE_NOT_FOUND; }

}  // namespace tallyrun::probe
