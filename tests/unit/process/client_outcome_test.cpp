// What the launcher keeps of a real client: how it ended, as the process query saw it or as the launcher finds it,
// and its output, drained while it runs and bounded; and that nothing of it outlives the outcome or the launcher.
#include "platform/process/kept_output.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;
using End = ClientOutcome::End;

std::size_t OpenDescriptors()
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

char State(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return std::getline(stat, line) ? line.at(line.rfind(')') + 2) : ' ';
}

// Polls as the wait dialog does, though faster; false when the client still runs after a generous while.
bool QuerySeesTheEnd(SystemProcessQuery& query, std::int32_t pid)
{
    for (int i = 0; i < 3000; ++i) {
        if (query.OpenProcess(pid)->StillActive() == false)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(ClientOutcome, TheEndTheQuerySawAndBothStreamsInTheOrderWritten)
{
    const std::size_t descriptors = OpenDescriptors();
    {
        SystemLauncher launcher(fs::path{});
        SystemProcessQuery query(launcher);
        const auto pid = launcher.StartHidden("/bin/sh -c \"echo out; echo err >&2; echo more; exit 3\"",
                                              WindowStyleHidden);
        ASSERT_TRUE(QuerySeesTheEnd(query, pid));
        EXPECT_EQ(State(pid), ' ') << "the query's end reaps the client";
        const auto outcome = launcher.TakeOutcome(pid);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->end, End::Exited);
        EXPECT_EQ(outcome->code, 3);
        EXPECT_EQ(outcome->output, "out\nerr\nmore\n");
        EXPECT_EQ(launcher.TakeOutcome(pid), std::nullopt) << "handed over twice";
        EXPECT_EQ(launcher.TakeOutcome(pid + 100000), std::nullopt);

        const auto killed = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
        ::kill(killed, SIGKILL);
        ASSERT_TRUE(QuerySeesTheEnd(query, killed));
        const auto signalled = launcher.TakeOutcome(killed);
        ASSERT_TRUE(signalled);
        EXPECT_EQ(signalled->end, End::Signalled);
        EXPECT_EQ(signalled->code, SIGKILL);

        // Nobody watched this one end: the launcher finds out itself, and reaps it.
        const auto unwatched = launcher.StartHidden("/bin/sh -c \"exit 4\"", WindowStyleHidden);
        for (int i = 0; i < 500 && State(unwatched) != 'Z'; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto found = launcher.TakeOutcome(unwatched);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->end, End::Exited);
        EXPECT_EQ(found->code, 4);
        EXPECT_EQ(State(unwatched), ' ');
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST(ClientOutcome, AClientWritingAMegabyteNeverStallsAndKeepsItsTwoEnds)
{
    SystemLauncher launcher(fs::path{});
    SystemProcessQuery query(launcher);
    const auto pid = launcher.StartHidden("/usr/bin/seq 1 200000", WindowStyleHidden);  // 1.2 MB
    ASSERT_TRUE(QuerySeesTheEnd(query, pid)) << "the client stalled on a full pipe";
    const auto outcome = launcher.TakeOutcome(pid);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->end, End::Exited);
    EXPECT_EQ(outcome->code, 0);
    EXPECT_LE(outcome->output.size(), 2 * KeptOutput::Half + 100);
    EXPECT_EQ(outcome->output.rfind("1\n2\n3\n", 0), 0u);
    EXPECT_EQ(outcome->output.substr(outcome->output.size() - 14), "199999\n200000\n");
    EXPECT_NE(outcome->output.find(" bytes of output left out ...]\n"), std::string::npos);
}

TEST(ClientOutcome, NeitherATakeNorTheLauncherWaitsOnAClientThatRunsOn)
{
    SystemProcessQuery strangers;
    pid_t holder = 0;
    pid_t running = 0;
    {
        SystemLauncher launcher(fs::path{});
        SystemProcessQuery query(launcher);
        // The client ends at once, but what it started holds its output open: the take waits a bounded while.
        const auto pid = launcher.StartHidden("/bin/sh -c \"/bin/sleep 30 & echo $!\"", WindowStyleHidden);
        ASSERT_TRUE(QuerySeesTheEnd(query, pid));
        const auto outcome = launcher.TakeOutcome(pid);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->end, End::Exited);
        holder = std::stoi(outcome->output);
        EXPECT_EQ(strangers.OpenProcess(holder)->StillActive(), true);

        running = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    }
    // Still there, and neither killed nor ended: just started, it may be running or asleep already.
    const char state = State(running);
    EXPECT_TRUE(state == 'R' || state == 'S') << "state " << state << ": the launcher should have gone without "
                                                 "waiting on the client, and left it alone";
    ::kill(holder, SIGKILL);
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
}

}  // namespace
}  // namespace tallyrun
