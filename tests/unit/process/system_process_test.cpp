#include "platform/core/error.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <thread>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "tallyrun-process-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir() { fs::remove_all(m_path); }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// The state letter of /proc/<pid>/stat ('Z' for a zombie), or nothing once the process is gone for good.
std::optional<char> ProcessState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return std::nullopt;
    return line.at(line.rfind(')') + 2);
}

bool Eventually(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool IsZombie(pid_t pid)
{
    return ProcessState(pid) == 'Z';
}

bool IsGone(pid_t pid)
{
    return !ProcessState(pid).has_value();
}

Error StartFailure(SystemLauncher& launcher, const std::string& line)
{
    try {
        launcher.StartHidden(line, WindowStyleHidden);
    } catch (const Error& error) {
        return error;
    }
    throw std::runtime_error("started: " + line);
}

TEST(SystemLauncher, StartsFromTheFirstDirectoryWithNullStreamsAndNothingElseOpen)
{
    TempDir dir;
    fs::copy_file("/bin/sleep", dir.Path() / "sleep");
    SystemLauncher launcher(dir.Path());
    SystemProcessQuery query;
    const int inheritable = ::open("/dev/zero", O_RDONLY);

    const pid_t pid = launcher.StartHidden("sleep 30", WindowStyleHidden);
    ::close(inheritable);
    const fs::path proc = "/proc/" + std::to_string(pid);
    EXPECT_EQ(fs::read_symlink(proc / "exe"), dir.Path() / "sleep");
    int open = 0;
    for (const auto& entry : fs::directory_iterator(proc / "fd")) {
        ++open;
        EXPECT_EQ(fs::read_symlink(entry.path()), "/dev/null") << entry.path();
    }
    EXPECT_EQ(open, 3);
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), true);

    ::kill(pid, SIGKILL);
    ASSERT_TRUE(Eventually([&] { return IsZombie(pid); }));
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), false);
    EXPECT_TRUE(IsGone(pid)) << "an ended child found by the query must be reaped";
}

TEST(SystemLauncher, ReportsAMissingProgramWithoutLookingInTheCurrentDirectory)
{
    TempDir first;
    TempDir current;
    const fs::path probe = current.Path() / "tallyrun-absent-client";
    fs::copy_file("/bin/true", probe);
    SystemLauncher launcher(first.Path());
    const Error error = [&] {
        // Put back on every path: the rest of the run shares this process's directory and search path.
        struct Restore {
            fs::path current = fs::current_path();
            std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
            ~Restore()
            {
                ::setenv("PATH", path.c_str(), 1);
                fs::current_path(current);
            }
        } restore;
        fs::current_path(current.Path());
        ::setenv("PATH", (".:relative:" + restore.path).c_str(), 1);
        return StartFailure(launcher, "tallyrun-absent-client -S x");
    }();

    EXPECT_EQ(error.Number(), ENOENT);
    EXPECT_NE(error.Description().find("\"tallyrun-absent-client\""), std::string::npos) << error.Description();
    EXPECT_NE(error.Description().find("search path"), std::string::npos) << error.Description();

    EXPECT_EQ(StartFailure(launcher, "").Number(), ENOENT);
    EXPECT_EQ(StartFailure(launcher, "/nonexistent/tallyrun-client").Number(), ENOENT);
}

TEST(SystemLauncher, ReportsWhyTheExecFailed)
{
    TempDir dir;
    const fs::path broken = dir.Path() / "broken";
    std::ofstream(broken) << "#!/nonexistent/interpreter\n";
    fs::permissions(broken, fs::perms::owner_all);
    SystemLauncher launcher(dir.Path());

    const Error error = StartFailure(launcher, "broken -x");
    EXPECT_EQ(error.Number(), ENOENT);
    EXPECT_NE(error.Description().find("\"broken\""), std::string::npos) << error.Description();
    EXPECT_NE(error.Description().find(std::strerror(ENOENT)), std::string::npos) << error.Description();
}

TEST(SystemLauncher, ReapsChildrenNobodyAskedAbout)
{
    const pid_t first = [] {
        SystemLauncher launcher(fs::path{});
        const pid_t ended = launcher.StartHidden("/bin/true", WindowStyleHidden);
        EXPECT_TRUE(Eventually([&] { return IsZombie(ended); }));
        const pid_t next = launcher.StartHidden("/bin/true", WindowStyleHidden);
        EXPECT_TRUE(IsGone(ended)) << "reaped at the next start";
        EXPECT_TRUE(Eventually([&] { return IsZombie(next); }));
        return next;
    }();
    EXPECT_TRUE(IsGone(first)) << "reaped when the launcher goes";
}

TEST(SystemProcessQuery, KnowsNoProcessWithoutAPositiveIdentifier)
{
    SystemProcessQuery query;
    EXPECT_EQ(query.OpenProcess(0), nullptr);
    EXPECT_EQ(query.OpenProcess(-1), nullptr);
    const auto parent = query.OpenProcess(static_cast<std::int32_t>(::getppid()));
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->StillActive(), true);
}

}  // namespace
}  // namespace tallyrun
