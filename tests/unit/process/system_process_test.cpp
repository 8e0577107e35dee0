// Starting real programs and watching them end: where the launcher looks, what the client inherits, how failures
// read, and that no ended child stays a zombie.
#include "platform/core/error.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = [] {
        std::string pattern = (fs::temp_directory_path() / "tallyrun-process-XXXXXX").string();
        return fs::path(::mkdtemp(pattern.data()));
    }();
    ~TempDir() { fs::remove_all(path); }
};

// The state letter of /proc/<pid>/stat: 'Z' for a zombie, ' ' once the process is gone for good.
char State(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return std::getline(stat, line) ? line.at(line.rfind(')') + 2) : ' ';
}

bool BecomesZombie(pid_t pid)
{
    for (int i = 0; i < 500 && State(pid) != 'Z'; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return State(pid) == 'Z';
}

std::string StartFailure(SystemLauncher& launcher, const std::string& line)
{
    try {
        launcher.StartHidden(line, WindowStyleHidden);
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), ENOENT);
        return error.Description();
    }
    ADD_FAILURE() << "started: " << line;
    return {};
}

TEST(SystemLauncher, StartsFromTheFirstDirectoryWithNullStreamsAndNothingElseOpen)
{
    TempDir dir;
    fs::copy_file("/bin/sleep", dir.path / "sleep");
    SystemLauncher launcher(dir.path);
    const int inheritable = ::open("/dev/zero", O_RDONLY);
    const pid_t pid = launcher.StartHidden("sleep 30", WindowStyleHidden);
    ::close(inheritable);

    const fs::path proc = "/proc/" + std::to_string(pid);
    EXPECT_EQ(fs::read_symlink(proc / "exe"), dir.path / "sleep");
    // The client's loader opens and closes libraries as it starts; what is still open once it settles is what counts.
    const std::vector<fs::path> nullStreams(3, "/dev/null");
    std::vector<fs::path> open;
    for (int i = 0; i < 200 && open != nullStreams; ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        open.clear();
        for (const auto& entry : fs::directory_iterator(proc / "fd")) {
            std::error_code closedMeanwhile;
            const fs::path target = fs::read_symlink(entry.path(), closedMeanwhile);
            if (!closedMeanwhile)
                open.push_back(target);
        }
    }
    EXPECT_EQ(open, nullStreams);

    SystemProcessQuery query(launcher);
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), true);
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(BecomesZombie(pid));
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), false);
    EXPECT_EQ(State(pid), ' ') << "an ended child found by the query must be reaped";
}

TEST(SystemLauncher, NamesTheProgramAndTheCauseWhenItCannotStart)
{
    TempDir first;
    TempDir current;
    fs::copy_file("/bin/true", current.path / "tallyrun-absent-client");
    std::ofstream(first.path / "broken") << "#!/nonexistent/interpreter\n";
    fs::permissions(first.path / "broken", fs::perms::owner_all);
    SystemLauncher launcher(first.path);

    // Neither the current directory nor a relative search-path entry may supply the client.
    const fs::path oldCurrent = fs::current_path();
    const std::string oldPath = std::getenv("PATH");
    fs::current_path(current.path);
    ::setenv("PATH", (".:relative:" + oldPath).c_str(), 1);
    const std::string missing = StartFailure(launcher, "tallyrun-absent-client -S x");
    ::setenv("PATH", oldPath.c_str(), 1);
    fs::current_path(oldCurrent);
    EXPECT_NE(missing.find("\"tallyrun-absent-client\""), std::string::npos) << missing;
    EXPECT_NE(missing.find("search path"), std::string::npos) << missing;

    const std::string broken = StartFailure(launcher, "broken -x");
    EXPECT_NE(broken.find("\"broken\""), std::string::npos) << broken;
    EXPECT_NE(broken.find("interpreter /nonexistent/interpreter is missing"), std::string::npos) << broken;

    StartFailure(launcher, "");
    StartFailure(launcher, "/nonexistent/tallyrun-client");
}

TEST(SystemLauncher, ReapsChildrenNobodyAskedAbout)
{
    pid_t last = 0;
    {
        SystemLauncher launcher(fs::path{});
        const pid_t first = launcher.StartHidden("/bin/true", WindowStyleHidden);
        ASSERT_TRUE(BecomesZombie(first));
        last = launcher.StartHidden("/bin/true", WindowStyleHidden);
        EXPECT_EQ(State(first), ' ') << "reaped at the next start";
        ASSERT_TRUE(BecomesZombie(last));
    }
    EXPECT_EQ(State(last), ' ') << "reaped when the launcher goes";
}

// The signals the client's process ignores, from /proc/<pid>/status.
unsigned long long IgnoredSignals(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigIgn:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    ADD_FAILURE() << "no SigIgn in the status of " << pid;
    return ~0ULL;
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

TEST(SystemLauncher, TheClientStartsWithNoSignalIgnored)
{
    const Disposition pipe(SIGPIPE, SIG_IGN);
    const Disposition interrupt(SIGINT, SIG_IGN);
    SystemLauncher launcher(fs::path{});
    const pid_t pid = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    // The status shows the child's own dispositions only once it has passed exec.
    const fs::path exe = "/proc/" + std::to_string(pid) + "/exe";
    for (int i = 0; i < 200 && fs::read_symlink(exe) != fs::canonical("/bin/sleep"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(IgnoredSignals(pid), 0U);
    ::kill(pid, SIGKILL);
}

// Has the next process created on this system get `pid`, by setting the last one handed out; false where that
// cannot be set (it needs the rights of the system's administrator).
bool NextProcessGets(pid_t pid)
{
    std::ofstream last("/proc/sys/kernel/ns_last_pid");
    last << pid - 1 << std::flush;
    return static_cast<bool>(last);
}

// A process that holds an identifier for as long as the test keeps it, and none of the test's output streams (or
// the test runner would wait for it).
class Newcomer {
public:
    Newcomer() : m_pid(::fork())
    {
        if (m_pid == 0) {
            ::close(STDOUT_FILENO);
            ::close(STDERR_FILENO);
            ::pause();
            ::_exit(0);
        }
    }
    ~Newcomer() { ::kill(m_pid, SIGKILL); }
    Newcomer(const Newcomer&) = delete;
    Newcomer& operator=(const Newcomer&) = delete;
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid;
};

TEST(SystemProcessQuery, WatchesItsOwnClientEvenWhenItsIdentifierPassesToAnotherProcess)
{
    // With SIGCHLD ignored the system reaps the ended client at once, and its identifier is free for a newcomer.
    const Disposition autoReap(SIGCHLD, SIG_IGN);
    SystemLauncher launcher(fs::path{});
    SystemProcessQuery query(launcher);
    const pid_t client = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    ::kill(client, SIGKILL);
    for (int i = 0; i < 500 && State(client) != ' '; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(State(client), ' ');

    std::unique_ptr<Newcomer> newcomer;
    for (int attempt = 0; attempt < 20 && !(newcomer && newcomer->Pid() == client); ++attempt) {
        newcomer.reset();
        if (State(client) != ' ')
            GTEST_SKIP() << "a process of someone else's took the identifier first";
        if (!NextProcessGets(client))
            GTEST_SKIP() << "the next process identifier cannot be chosen here";
        newcomer = std::make_unique<Newcomer>();
    }
    ASSERT_EQ(newcomer->Pid(), client) << "another process took the identifier first each time";
    EXPECT_EQ(query.OpenProcess(client)->StillActive(), false) << "the newcomer was taken for the client";
}

}  // namespace
}  // namespace tallyrun
