// The launcher with real clients, on every system: where it looks for the client (its first directory, then the
// absolute entries of the search path, never the current directory) and how it says that none was found; how a
// client ended, as the process query saw it or as the launcher finds it, and that neither a take nor the launcher
// waits on a client that runs on, nor leaves a handle behind.
#include "base/error.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;
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
        EXPECT_EQ(SystemProcessQuery().OpenProcess(holder)->StillActive(), true);
        running = launcher.StartHidden(probe::WaitLine(), WindowStyleHidden);
        leaving = Clock::now();
    }
    EXPECT_LT(Clock::now() - leaving, Slack);
    EXPECT_EQ(SystemProcessQuery().OpenProcess(running)->StillActive(), true) << "the launcher must leave it running";
    probe::EndFromOutside(holder);
    probe::EndFromOutside(running);
}

// Three directories of a fresh one; the current directory and the search path are put back at the end.
struct SearchScene {
    fs::path root = fs::temp_directory_path() /
                    ("tallyrun-search-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::path first = root / "first", onPath = root / "path", current = root / "current";
    fs::path startedIn = fs::current_path();
    std::string searchPath = probe::PathVariable();
    ~SearchScene()
    {
        probe::SetPathVariable(searchPath);
        fs::current_path(startedIn);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

TEST(LauncherSearch, FirstDirectoryThenAbsoluteSearchPathEntriesNeverTheCurrentDirectory)
{
    SearchScene scene;
    const std::string file = "tallyrun-client" + probe::WaitProgram().extension().string();
    for (const fs::path& dir : {scene.first, scene.onPath, scene.current / "relative"}) {
        fs::create_directories(dir);
        fs::copy_file(probe::WaitProgram(), dir / file);
    }
    fs::copy_file(probe::WaitProgram(), scene.current / file);
    fs::current_path(scene.current);
    // Empty and relative entries come first: honouring either would start a decoy from the current directory.
    const char separator = probe::PathVariableSeparator();
    probe::SetPathVariable(std::string{separator} + "relative" + separator + "." + separator + scene.onPath.string() +
                         separator + scene.searchPath);
    SystemLauncher launcher(scene.first);
    const auto startedFrom = [&](const std::string& program) {
        const auto processId = launcher.StartHidden(program + probe::WaitArguments(), WindowStyleHidden);
        const fs::path started = probe::ProgramOf(processId);
        probe::EndFromOutside(processId);
        return started;
    };
    const auto notFound = [&](const std::string& program) {
        const Error error = fixtures::RaisedError([&] { launcher.StartHidden(program + " -S x", WindowStyleHidden); });
        EXPECT_EQ(error.Number(), probe::NotFound()) << program;
        return error.Description();
    };

    EXPECT_EQ(startedFrom("tallyrun-client"), scene.first / file);
    fs::remove(scene.first / file);
    EXPECT_EQ(startedFrom("tallyrun-client"), scene.onPath / file);
    EXPECT_EQ(startedFrom(file), scene.onPath / file);
    fs::remove(scene.onPath / file);
    const std::string missing = notFound("tallyrun-client");
    EXPECT_NE(missing.find("\"tallyrun-client\""), std::string::npos) << missing;
    EXPECT_NE(missing.find("search path"), std::string::npos) << missing;
    for (const std::string& name : probe::CurrentDirectoryNames(scene.current, "tallyrun-client"))
        notFound(name);
    notFound("");
    notFound((scene.first / file).string());
    EXPECT_EQ(startedFrom((scene.current / file).string()), scene.current / file) << "a full path is taken as it is";
}

}  // namespace
}  // namespace tallyrun
