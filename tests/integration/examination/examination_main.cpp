// The test program is built on Linux; the Windows build tells it how to start its examining program under Wine
// with what is left on the command line once GoogleTest has taken its own options.
#include "examination_seen.h"

#include "child_process.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

std::vector<std::string> command;

}  // namespace

bool UnderWine()
{
    return !command.empty();
}

std::string Examine(const std::string& host, std::uint16_t port, odbc::TlsStart start)
{
    if (command.empty())
        return Seen(odbc::ExamineTls(host, port, start, std::chrono::steady_clock::now() + std::chrono::seconds(5)));
    std::vector<std::string> argv = command;
    argv.insert(argv.end(), {host, std::to_string(port), start == odbc::TlsStart::Strict ? "strict" : "prelogin"});
    std::string seen = RunChild(argv, {}, {}, std::chrono::seconds(90)).out;
    std::erase(seen, '\r');  // Windows ends its lines in CR LF
    return seen;
}

}  // namespace tallyrun::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    tallyrun::testing::command.assign(argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}
