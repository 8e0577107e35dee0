// Starting a real program on Linux and watching it end: what the client inherits, and that the query reaps it.
#include "base/posix/own_environment.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

// The client gets null input, one pipe for both outputs and nothing else of ours, not even what we ignore or the
// variables we set for ourselves (it gets them as we found them).
TEST(SystemLauncher, TheClientInheritsNullInputOnePipeAndNoIgnoredSignalOrVariableOfOurOwn)
{
    ::setenv("TALLYRUN_PROBE_FOUND", "theirs", 1);
    ::setenv("TALLYRUN_PROBE_KEPT", "theirs", 1);
    SetOwnVariable("TALLYRUN_PROBE_FOUND", "ours");
    SetOwnVariable("TALLYRUN_PROBE_OWN", "ours");
    const auto pipeBefore = ::signal(SIGPIPE, SIG_IGN);
    const int inheritable = ::open("/dev/zero", O_RDONLY);
    SystemLauncher launcher(fs::path{});
    const pid_t pid = launcher.StartHidden("/bin/sleep 30", WindowStyleHidden);
    ::close(inheritable);
    ::signal(SIGPIPE, pipeBefore);

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
    std::stringstream status;
    status << std::ifstream("/proc/" + std::to_string(pid) + "/status").rdbuf();
    EXPECT_NE(status.str().find("\nSigIgn:\t0000000000000000\n"), std::string::npos) << status.str();
    std::stringstream environment;
    environment << std::ifstream("/proc/" + std::to_string(pid) + "/environ").rdbuf();
    for (const std::string kept : {"TALLYRUN_PROBE_FOUND=theirs", "TALLYRUN_PROBE_KEPT=theirs"})
        EXPECT_NE(environment.str().find(kept + '\0'), std::string::npos) << kept;
    EXPECT_EQ(environment.str().find("TALLYRUN_PROBE_OWN"), std::string::npos);

    SystemProcessQuery query(launcher);
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), true);
    probe::EndFromOutside(pid);
    EXPECT_EQ(query.OpenProcess(pid)->StillActive(), false);
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(pid))) << "an ended child found by the query must be reaped";
}

}  // namespace
}  // namespace tallyrun
