// What the launcher keeps of a real client on Windows: the exit code the process query saw, its output drained
// while it runs and bounded, and that neither a take nor the launcher waits on a client that runs on.
#include "platform/process/kept_output.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/process/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tallyrun {
namespace {

using End = ClientOutcome::End;

// Polls as the wait dialog does, though faster; false when the client still runs after a generous while.
bool QuerySeesTheEnd(SystemProcessQuery& query, std::int32_t processId)
{
    for (int i = 0; i < 3000; ++i) {
        if (query.OpenProcess(processId)->StillActive() == false)
            return true;
        ::Sleep(10);
    }
    return false;
}

void Terminate(std::int32_t processId)
{
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
    ASSERT_TRUE(process && ::TerminateProcess(process.Get(), 1)) << "process " << processId;
    ASSERT_EQ(::WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
}

TEST(ClientOutcomeWin, TheExitCodeTheQuerySawAndBothStreamsInTheOrderWritten)
{
    SystemLauncher launcher;
    SystemProcessQuery query(launcher);
    const auto processId = launcher.StartHidden("process_probe print 2 3", WindowStyleHidden);
    ASSERT_TRUE(QuerySeesTheEnd(query, processId));
    const auto outcome = launcher.TakeOutcome(processId);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->end, End::Exited);
    EXPECT_EQ(outcome->code, 3);
    EXPECT_EQ(outcome->output, "1\nto stderr\n2\n");
    EXPECT_EQ(launcher.TakeOutcome(processId), std::nullopt) << "handed over twice";

    // Ended from outside: Windows tells only the code it was ended with.
    const auto ended = launcher.StartHidden("process_probe wait", WindowStyleHidden);
    Terminate(ended);
    const auto terminated = launcher.TakeOutcome(ended);
    ASSERT_TRUE(terminated);
    EXPECT_EQ(terminated->end, End::Exited);
    EXPECT_EQ(terminated->code, 1);
}

TEST(ClientOutcomeWin, AClientWritingAMegabyteNeverStallsAndKeepsItsTwoEnds)
{
    SystemLauncher launcher;
    SystemProcessQuery query(launcher);
    const auto processId = launcher.StartHidden("process_probe print 200000 0", WindowStyleHidden);  // 1.2 MB
    ASSERT_TRUE(QuerySeesTheEnd(query, processId)) << "the client stalled on a full pipe";
    const auto outcome = launcher.TakeOutcome(processId);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->code, 0);
    EXPECT_LE(outcome->output.size(), 2 * KeptOutput::Half + 100);
    EXPECT_EQ(outcome->output.rfind("1\nto stderr\n2\n", 0), 0u);
    EXPECT_EQ(outcome->output.substr(outcome->output.size() - 14), "199999\n200000\n");
}

TEST(ClientOutcomeWin, NeitherATakeNorTheLauncherWaitsOnAClientThatRunsOn)
{
    std::int32_t holder = 0;
    std::int32_t running = 0;
    {
        SystemLauncher launcher;
        SystemProcessQuery query(launcher);
        // The client ends at once, but what it started holds its output open: the take waits a bounded while.
        const auto processId = launcher.StartHidden("process_probe spawn", WindowStyleHidden);
        ASSERT_TRUE(QuerySeesTheEnd(query, processId));
        const auto outcome = launcher.TakeOutcome(processId);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->code, 0);
        holder = std::stoi(outcome->output);
        running = launcher.StartHidden("process_probe wait", WindowStyleHidden);
    }
    SystemProcessQuery strangers;
    EXPECT_EQ(strangers.OpenProcess(running)->StillActive(), true) << "the launcher went and left the client alone";
    Terminate(holder);
    Terminate(running);
}

}  // namespace
}  // namespace tallyrun
