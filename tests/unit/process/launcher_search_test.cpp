// Where the launcher looks for the client, on every system: its first directory, then the absolute entries of the
// search path, never the current directory; and how it says that no program was found.
#include "base/error.h"
#include "platform/process/system_launcher.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/unit/process/client_probe.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tallyrun {
namespace {

namespace fs = std::filesystem;

// Three directories of a fresh one; the current directory and the search path are put back at the end.
struct SearchScene {
    fs::path root = fs::temp_directory_path() /
                    ("tallyrun-search-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
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
    const std::string file = probe::ProgramFile("tallyrun-client");
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
