// Where the launcher looks for the client, on every system: its first directory, then the absolute entries of the
// search path, never the current directory; and how it says that no program was found.
#include "platform/core/error.h"
#include "platform/process/system_launcher.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = [] {
        static std::atomic<int> count = 0;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        fs::path made =
            fs::temp_directory_path() / ("tallyrun-search-" + std::to_string(now) + "-" + std::to_string(++count));
        fs::create_directories(made);
        return made;
    }();
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Puts back the current directory and the search path.
struct SearchScene {
    fs::path current = fs::current_path();
    std::string searchPath = probe::PathVariable();
    ~SearchScene()
    {
        probe::SetPathVariable(searchPath);
        fs::current_path(current);
    }
};

TEST(LauncherSearch, FirstDirectoryThenAbsoluteSearchPathEntriesNeverTheCurrentDirectory)
{
    TempDir first, onPath, current;
    const std::string file = probe::ProgramFile("tallyrun-client");
    fs::create_directory(current.path / "relative");
    for (const fs::path& dir : {first.path, onPath.path, current.path, current.path / "relative"})
        fs::copy_file(probe::WaitProgram(), dir / file);
    SearchScene scene;
    fs::current_path(current.path);
    // Empty and relative entries come first: honouring either would start a decoy from the current directory.
    const char separator = probe::PathVariableSeparator();
    probe::SetPathVariable(std::string{separator} + "relative" + separator + "." + separator + onPath.path.string() +
                         separator + scene.searchPath);
    SystemLauncher launcher(first.path);
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

    EXPECT_EQ(startedFrom("tallyrun-client"), first.path / file);
    fs::remove(first.path / file);
    EXPECT_EQ(startedFrom("tallyrun-client"), onPath.path / file);
    EXPECT_EQ(startedFrom(file), onPath.path / file);
    fs::remove(onPath.path / file);
    const std::string missing = notFound("tallyrun-client");
    EXPECT_NE(missing.find("\"tallyrun-client\""), std::string::npos) << missing;
    EXPECT_NE(missing.find("search path"), std::string::npos) << missing;
    for (const std::string& name : probe::CurrentDirectoryNames(current.path, "tallyrun-client"))
        notFound(name);
    notFound("");
    notFound((first.path / file).string());
    EXPECT_EQ(startedFrom((current.path / file).string()), current.path / file) << "a full path is taken as it is";
}

}  // namespace
}  // namespace tallyrun
