// What the launcher keeps of a real client, on every system: how it ended, as the process query saw it or as the
// launcher finds it, and that neither a take nor the launcher waits on a client that runs on, nor leaves a handle
// behind.
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

namespace tallyrun {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls as the wait dialog does, though faster; false when the client still runs after a generous while.
bool QuerySeesTheEnd(SystemProcessQuery& query, std::int32_t processId)
{
    for (int i = 0; i < 3000; ++i) {
        if (query.OpenProcess(processId)->StillActive() == false)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// How it ended and what it wrote, as GoogleTest can compare and print it; an end of -1 for no outcome.
std::tuple<int, int, std::string> Seen(const std::optional<ClientOutcome>& outcome)
{
    if (!outcome)
        return {-1, 0, ""};
    return {static_cast<int>(outcome->end), outcome->code, outcome->output};
}

bool Running(std::int32_t processId)
{
    return SystemProcessQuery().OpenProcess(processId)->StillActive() == true;
}

TEST(ClientOutcome, HowItEndedAndBothStreamsInTheOrderWrittenThenNothingLeftOpen)
{
    const std::size_t handles = probe::OpenHandles();
    {
        SystemLauncher launcher;
        SystemProcessQuery query(launcher);
        const auto processId = launcher.StartHidden(probe::PrintLine(2, 3), WindowStyleHidden);
        ASSERT_TRUE(QuerySeesTheEnd(query, processId));
        EXPECT_EQ(Seen(launcher.TakeOutcome(processId)),
                  Seen(ClientOutcome{ClientOutcome::End::Exited, 3, "1\nto stderr\n2\n"}));
        EXPECT_EQ(launcher.TakeOutcome(processId), std::nullopt) << "handed over twice";

        // Nobody watched this one end: the launcher finds out itself.
        const auto ended = launcher.StartHidden(probe::WaitLine(), WindowStyleHidden);
        const ClientOutcome endedFromOutside = probe::EndFromOutside(ended);
        EXPECT_EQ(Seen(launcher.TakeOutcome(ended)), Seen(endedFromOutside));
    }
    EXPECT_EQ(probe::OpenHandles(), handles);
}

// What the client started holds its output open for as long as it runs: the take stops reading at its bound, and
// the launcher goes without waiting on it or on a client that still runs, and leaves both alone.
TEST(ClientOutcome, NeitherATakeNorTheLauncherWaitsOnOutputThatNeverCloses)
{
    constexpr auto Slack = 3s;  // the machine is shared; what matters is the bound, not its precision
    std::int32_t holder = 0;
    std::int32_t running = 0;
    Clock::time_point leaving;
    {
        SystemLauncher launcher;
        SystemProcessQuery query(launcher);
        const auto processId = launcher.StartHidden(probe::SpawnLine(), WindowStyleHidden);
        ASSERT_TRUE(QuerySeesTheEnd(query, processId));
        const auto start = Clock::now();
        const auto outcome = launcher.TakeOutcome(processId);
        EXPECT_LT(Clock::now() - start, Launcher::OutcomeWait + Slack);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->end, ClientOutcome::End::Exited);
        EXPECT_EQ(outcome->code, 0);
        holder = std::stoi(outcome->output);
        EXPECT_TRUE(Running(holder));
        running = launcher.StartHidden(probe::WaitLine(), WindowStyleHidden);
        leaving = Clock::now();
    }
    EXPECT_LT(Clock::now() - leaving, Slack);
    EXPECT_TRUE(Running(running)) << "the launcher should have left the client alone";
    probe::EndFromOutside(holder);
    probe::EndFromOutside(running);
}

}  // namespace
}  // namespace tallyrun
