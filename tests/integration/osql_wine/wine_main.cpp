// The test program is built on Linux and told by the Windows build how to start osql.exe: what is left on its
// command line once GoogleTest has taken its own options.
#include "wine_command.h"

#include <gtest/gtest.h>

#include <iostream>

namespace tallyrun::testing {
namespace {

std::vector<std::string> command;

}  // namespace

const std::vector<std::string>& OsqlUnderWine()
{
    return command;
}

}  // namespace tallyrun::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    tallyrun::testing::command.assign(argv + 1, argv + argc);
    if (tallyrun::testing::command.empty()) {
        std::cerr << "usage: " << argv[0] << " [gtest options] [wine command...] osql.exe\n";
        return 2;
    }
    return RUN_ALL_TESTS();
}
