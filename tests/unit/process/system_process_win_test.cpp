// Starting the probe program on Windows and watching it end: how it is started, and how the query tells a running
// process from an ended one.
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "base/windows/unique_handle.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

void AwaitEnd(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
    ASSERT_TRUE(process) << "process " << processId;
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0) << "process " << processId;
}

TEST(SystemLauncherWin, StartsTheClientHiddenWithoutAConsoleWindowAndTheLineUnchanged)
{
    SystemLauncher launcher;
    const fs::path file = fs::temp_directory_path() / ("tallyrun-report-" + std::to_string(::GetCurrentProcessId()));
    // Doubled and trailing blanks, a tab, quotes and a character beyond ASCII must all survive.
    const std::string line = "process_probe report " + file.string() +
                             "  -S  srv\t-Q \"DBCC UPDATEUSAGE('Caf\xC3\xA9') WITH NO_INFOMSGS, COUNT_ROWS\" ";
    const std::int32_t processId = launcher.StartHidden(line, WindowStyleHidden);
    AwaitEnd(processId);
    std::map<std::string, std::string> report;
    std::ifstream in(file, std::ios::binary);
    for (std::string entry; std::getline(in, entry);)
        report[entry.substr(0, entry.find('='))] = entry.substr(entry.find('=') + 1);
    in.close();
    fs::remove(file);
    EXPECT_EQ(report["pid"], std::to_string(processId)) << "the identifier returned is the started process's";
    EXPECT_EQ(report["line"], line) << "the command line must arrive as given";
    EXPECT_EQ(report["module"], probe::WaitProgram().string());
    EXPECT_EQ(report["show"], std::to_string(SW_HIDE));
    EXPECT_EQ(report["console"], "windowless");
}

// What the query tells of the process; one it cannot open reads as unknown, which no expectation here matches.
std::optional<bool> StillActive(ProcessQuery& query, std::int32_t processId)
{
    const auto process = query.OpenProcess(processId);
    return process ? process->StillActive() : std::nullopt;
}

TEST(SystemProcessQueryWin, TellsARunningProcessFromAnEndedOneEvenWhenItEndedWith259)
{
    SystemLauncher launcher;
    SystemProcessQuery byIdentifier;
    SystemProcessQuery ours(launcher);

    const std::int32_t waiting = launcher.StartHidden("process_probe wait", WindowStyleHidden);
    // Polling for as long as the client runs must not pile up handles.
    const std::size_t handles = probe::OpenHandles();
    for (int tick = 0; tick < 20; ++tick)
        EXPECT_EQ(StillActive(ours, waiting), true);
    EXPECT_EQ(probe::OpenHandles(), handles);
    EXPECT_EQ(StillActive(byIdentifier, waiting), true);
    probe::EndFromOutside(waiting);
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
    EXPECT_EQ(byIdentifier.OpenProcess(0), nullptr);
}

}  // namespace
}  // namespace tallyrun
