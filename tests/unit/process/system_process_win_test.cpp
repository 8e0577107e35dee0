// Starting the probe program for real and watching it end: how it is started, where the launcher looks, and how
// the query tells a running process from an ended one.
#include "platform/core/error.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/process/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

fs::path TestDirectory()
{
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(module).parent_path();
}

const fs::path Probe = TestDirectory() / L"process_probe.exe";

struct TempDir {
    fs::path path = [] {
        static int count = 0;
        fs::path made = fs::temp_directory_path() /
                        (L"tallyrun-process-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                         std::to_wstring(++count));
        fs::create_directories(made);
        return made;
    }();
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Narrow text of paths this test made itself, which are plain ASCII.
std::string Ascii(const fs::path& path)
{
    const std::wstring& wide = path.native();
    return std::string(wide.begin(), wide.end());
}

void AwaitEnd(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
    ASSERT_TRUE(process) << "process " << processId;
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0) << "process " << processId;
}

void End(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(processId)));
    ASSERT_TRUE(process && ::TerminateProcess(process.Get(), 0)) << "process " << processId;
    AwaitEnd(processId);
}

// The report the probe writes: its lines as key=value.
std::map<std::string, std::string> ReadReport(const fs::path& file)
{
    std::map<std::string, std::string> report;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        report[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    return report;
}

// Starts `program report <file> <rest>` and returns the report the started process wrote.
std::map<std::string, std::string> StartAndReport(SystemLauncher& launcher, const std::string& program,
                                                  const std::string& rest = "")
{
    TempDir out;
    const std::string line = program + " report " + Ascii(out.path / L"report.txt") + rest;
    const std::int32_t processId = launcher.StartHidden(line, WindowStyleHidden);
    AwaitEnd(processId);
    auto report = ReadReport(out.path / L"report.txt");
    EXPECT_EQ(report["pid"], std::to_string(processId)) << "the identifier returned is the started process's";
    EXPECT_EQ(report["line"], line) << "the command line must arrive as given";
    return report;
}

// The error a start raises; number 0 when it started.
Error StartFailure(SystemLauncher& launcher, const std::string& line)
{
    try {
        launcher.StartHidden(line, WindowStyleHidden);
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "started: " << line;
    return Error(0, "");
}

TEST(SystemLauncherWin, StartsTheClientHiddenWithoutAConsoleWindowAndTheLineUnchanged)
{
    SystemLauncher besideUs;
    // Doubled and trailing blanks, a tab, quotes and a character beyond ASCII must all survive.
    const auto report = StartAndReport(
        besideUs, "process_probe", "  -S  srv\t-Q \"DBCC UPDATEUSAGE('Caf\xC3\xA9') WITH NO_INFOMSGS, COUNT_ROWS\" ");
    EXPECT_EQ(report.at("module"), Ascii(Probe));
    EXPECT_EQ(report.at("show"), std::to_string(SW_HIDE));
    EXPECT_EQ(report.at("console"), "windowless");

    StartAndReport(besideUs, "\"process_probe.exe\"");
}

// Puts back the current directory and the search path that a test changes.
struct SearchScene {
    fs::path current = fs::current_path();
    std::wstring searchPath = [] {
        std::wstring value(32767, L'\0');
        value.resize(::GetEnvironmentVariableW(L"PATH", value.data(), static_cast<DWORD>(value.size())));
        return value;
    }();
    ~SearchScene()
    {
        ::SetEnvironmentVariableW(L"PATH", searchPath.c_str());
        fs::current_path(current);
    }
};

TEST(SystemLauncherWin, LooksBesideTheProgramThenOnTheSearchPathButNeverInTheCurrentDirectory)
{
    TempDir first;
    TempDir onPath;
    TempDir current;
    fs::create_directory(current.path / L"relative");
    for (const fs::path& dir : {first.path, onPath.path, current.path, current.path / L"relative"})
        fs::copy_file(Probe, dir / L"tallyrun-client.exe");
    SearchScene scene;
    fs::current_path(current.path);
    // Empty and relative entries come first: honouring either would start a decoy from the current directory.
    ::SetEnvironmentVariableW(L"PATH", (L";relative;.;" + onPath.path.native() + L";" + scene.searchPath).c_str());
    SystemLauncher launcher(first.path);

    EXPECT_EQ(StartAndReport(launcher, "tallyrun-client").at("module"), Ascii(first.path / L"tallyrun-client.exe"));
    fs::remove(first.path / L"tallyrun-client.exe");
    EXPECT_EQ(StartAndReport(launcher, "tallyrun-client").at("module"), Ascii(onPath.path / L"tallyrun-client.exe"));
    EXPECT_EQ(StartAndReport(launcher, "tallyrun-client.exe").at("module"),
              Ascii(onPath.path / L"tallyrun-client.exe"));

    fs::remove(onPath.path / L"tallyrun-client.exe");
    const Error missing = StartFailure(launcher, "tallyrun-client -S x");
    EXPECT_EQ(missing.Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(missing.Description().find("\"tallyrun-client\""), std::string::npos) << missing.Description();
    EXPECT_NE(missing.Description().find("search path"), std::string::npos) << missing.Description();
    // Names that lean on the current drive or directory find nothing either.
    EXPECT_EQ(StartFailure(launcher, "relative\\tallyrun-client").Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartFailure(launcher, "\\" + Ascii(current.path.relative_path() / L"tallyrun-client")).Number(),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartFailure(launcher, "").Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartFailure(launcher, Ascii(first.path / L"tallyrun-client.exe")).Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartAndReport(launcher, Ascii(current.path / L"tallyrun-client")).at("module"),
              Ascii(current.path / L"tallyrun-client.exe"))
        << "a full path is taken as it is";
}

// What the query tells of the process; a process it cannot open fails the test.
std::optional<bool> StillActive(ProcessQuery& query, std::int32_t processId)
{
    const auto process = query.OpenProcess(processId);
    if (!process) {
        ADD_FAILURE() << "process " << processId << " cannot be opened";
        return std::nullopt;
    }
    return process->StillActive();
}

TEST(SystemProcessQueryWin, TellsARunningProcessFromAnEndedOneEvenWhenItEndedWith259)
{
    SystemLauncher launcher;
    SystemProcessQuery byIdentifier;
    SystemProcessQuery ours(launcher);

    const std::int32_t waiting = launcher.StartHidden("process_probe wait", WindowStyleHidden);
    EXPECT_EQ(StillActive(byIdentifier, waiting), true);
    EXPECT_EQ(StillActive(ours, waiting), true);
    // Polling once a second for as long as the client runs must not pile up handles: a handle opened afterwards
    // takes the same free slot as one opened before.
    const HANDLE before = UniqueHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr)).Get();
    for (int tick = 0; tick < 20; ++tick) {
        StillActive(byIdentifier, waiting);
        StillActive(ours, waiting);
    }
    EXPECT_EQ(UniqueHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr)).Get(), before);
    End(waiting);
    EXPECT_EQ(StillActive(byIdentifier, waiting), false);
    EXPECT_EQ(StillActive(ours, waiting), false);

    const std::int32_t stillActiveCode = launcher.StartHidden("process_probe exit 259", WindowStyleHidden);
    AwaitEnd(stillActiveCode);
    EXPECT_EQ(StillActive(byIdentifier, stillActiveCode), false);
    EXPECT_EQ(StillActive(ours, stillActiveCode), false);
    EXPECT_NE(launcher.WatchChild(stillActiveCode), nullptr) << "watched through the handle kept from the start";
    if (stillActiveCode != waiting) {  // the system may hand a freed identifier out again at once
        EXPECT_EQ(launcher.WatchChild(waiting), nullptr) << "an ended child is let go at the next start";
    }
    EXPECT_EQ(launcher.WatchChild(static_cast<std::int32_t>(::GetCurrentProcessId())), nullptr);

    EXPECT_EQ(byIdentifier.OpenProcess(0), nullptr);
    EXPECT_EQ(ours.OpenProcess(0), nullptr);
}

}  // namespace
}  // namespace tallyrun
