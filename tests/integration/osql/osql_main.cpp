// The test program is built on Linux; the Windows build tells it how to start osql.exe with what is left on its
// command line once GoogleTest has taken its own options.
#include "osql_command.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

std::vector<std::string> command{OSQL_PATH};

}  // namespace

bool UnderWine()
{
    return command.size() > 1;
}

ChildOutcome RunOsql(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    std::vector<std::string> argv = command;
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunChild(argv, {}, environment, std::chrono::seconds(90));
}

}  // namespace tallyrun::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        tallyrun::testing::command.assign(argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}
