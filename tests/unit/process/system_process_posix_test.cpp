// Starting a real program on Linux and watching it end: what the client inherits, and that the query reaps it.
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

}  // namespace
}  // namespace tallyrun
