// Starting real programs on Linux and watching them end: what the client inherits, how a broken program reads,
// and that no ended child stays a zombie nor is confused with a process that took its identifier.
#include "platform/core/error.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

// The state letter of /proc/<pid>/stat: 'Z' for a zombie, ' ' once the process is gone for good.
char State(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return std::getline(stat, line) ? line.at(line.rfind(')') + 2) : ' ';
}

bool Becomes(pid_t pid, char state)
{
    for (int i = 0; i < 500 && State(pid) != state; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return State(pid) == state;
}

// Sets a signal's disposition for the length of a test.
class Disposition {
public:
    Disposition(int signal, sighandler_t handler) : m_signal(signal), m_old(::signal(signal, handler)) {}
    ~Disposition() { ::signal(m_signal, m_old); }

private:
    int m_signal;
    sighandler_t m_old;
};

// The signals a process ignores, from /proc/<pid>/status.
unsigned long long IgnoredSignals(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigIgn:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    return ~0ULL;
}

// The client gets null input, one pipe for both outputs and nothing else of ours, not even what we ignore.
TEST(SystemLauncher, TheClientInheritsNullInputOnePipeAndNoIgnoredSignal)
{
    const Disposition pipe(SIGPIPE, SIG_IGN);
    const int inheritable = ::open("/dev/zero", O_RDONLY);
    SystemLauncher launcher(fs::path{});
    const pid_t pid = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    ::close(inheritable);

    // The client's loader opens and closes libraries as it starts; what is still open once it settles is what counts.
    const auto settled = [](const std::vector<fs::path>& open) {
        return open.size() == 3 && open[0] == "/dev/null" && open[1] == open[2] &&
               open[1].string().rfind("pipe:", 0) == 0;
    };
    std::vector<fs::path> open;
    for (int i = 0; i < 200 && !settled(open); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(i > 0 ? 10 : 0));
        open.clear();
        for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
            std::error_code closedMeanwhile;
            const fs::path target = fs::read_symlink(entry.path(), closedMeanwhile);
            if (!closedMeanwhile)
                open.push_back(target);
        }
    }
    EXPECT_TRUE(settled(open)) << ::testing::PrintToString(open);
    EXPECT_EQ(IgnoredSignals(pid), 0U);

    SystemProcessQuery query(launcher);
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), true);
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(Becomes(pid, 'Z'));
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), false);
    EXPECT_EQ(State(pid), ' ') << "an ended child found by the query must be reaped";
}

TEST(SystemLauncher, AScriptWithoutItsInterpreterIsNamedWithTheCause)
{
    const fs::path script = fs::temp_directory_path() / ("tallyrun-broken-" + std::to_string(::getpid()));
    std::ofstream(script) << "#!/nonexistent/interpreter\n";
    fs::permissions(script, fs::perms::owner_all);
    SystemLauncher launcher(fs::path{});
    const Error error =
        fixtures::RaisedError([&] { launcher.StartHidden(script.string() + " -x", WindowStyleHidden); });
    fs::remove(script);
    EXPECT_EQ(error.Number(), ENOENT);
    EXPECT_NE(error.Description().find("interpreter /nonexistent/interpreter is missing"), std::string::npos)
        << error.Description();
}

TEST(SystemLauncher, ReapsChildrenNobodyAskedAbout)
{
    pid_t last = 0;
    {
        SystemLauncher launcher(fs::path{});
        const pid_t first = launcher.StartHidden("/bin/true", WindowStyleHidden);
        ASSERT_TRUE(Becomes(first, 'Z'));
        last = launcher.StartHidden("/bin/true", WindowStyleHidden);
        EXPECT_EQ(State(first), ' ') << "reaped at the next start";
        ASSERT_TRUE(Becomes(last, 'Z'));
    }
    EXPECT_EQ(State(last), ' ') << "reaped when the launcher goes";
}

// Has the next process created on this system get `pid`; false where that cannot be set (it needs the rights of
// the system's administrator).
bool NextProcessGets(pid_t pid)
{
    std::ofstream last("/proc/sys/kernel/ns_last_pid");
    last << pid - 1 << std::flush;
    return static_cast<bool>(last);
}

// A process that holds an identifier while the test keeps it, and none of the test's output streams (or the test
// runner would wait for it).
struct Newcomer {
    pid_t pid = ::fork();
    Newcomer()
    {
        if (pid == 0) {
            ::close(STDOUT_FILENO);
            ::close(STDERR_FILENO);
            ::pause();
            ::_exit(0);
        }
    }
    ~Newcomer() { ::kill(pid, SIGKILL); }
};

TEST(SystemProcessQuery, WatchesItsOwnClientEvenWhenItsIdentifierPassesToAnotherProcess)
{
    // With SIGCHLD ignored the system reaps the ended client at once, and its identifier is free for a newcomer.
    const Disposition autoReap(SIGCHLD, SIG_IGN);
    SystemLauncher launcher(fs::path{});
    SystemProcessQuery query(launcher);
    const pid_t client = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    ::kill(client, SIGKILL);
    ASSERT_TRUE(Becomes(client, ' '));

    std::unique_ptr<Newcomer> newcomer;
    for (int attempt = 0; attempt < 20 && !(newcomer && newcomer->pid == client); ++attempt) {
        newcomer.reset();
        if (State(client) != ' ')
            GTEST_SKIP() << "a process of someone else's took the identifier first";
        if (!NextProcessGets(client))
            GTEST_SKIP() << "the next process identifier cannot be chosen here";
        newcomer = std::make_unique<Newcomer>();
    }
    ASSERT_EQ(newcomer->pid, client) << "another process took the identifier first each time";
    EXPECT_EQ(query.OpenProcess(client)->StillActive(), false) << "the newcomer was taken for the client";
}

}  // namespace
}  // namespace tallyrun
