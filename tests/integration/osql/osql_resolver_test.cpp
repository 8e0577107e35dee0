// A name server that never answers, in a network namespace of the test's own: the login still ends at its timeout
// and names the host it could not resolve.
#include "child_process.h"
#include "frozen_dns.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

TEST(OsqlFrozenResolver, GivesUpOnTheServersNameAtTheLoginTimeout)
{
    const auto run = RunChild({FROZEN_DNS_PATH, OSQL_PATH, "-S", "sqlhost,1433", "-E", "-b", "-l", "2", "-Q",
                               "DBCC UPDATEUSAGE('Sales')"},
                              {}, {}, 90s);
    if (run.exitStatus == NoNamespace)
        GTEST_SKIP() << "no network namespace to freeze DNS in: " << run.err;
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    EXPECT_NE(run.err.find("The host name sqlhost could not be resolved within 2 seconds."), std::string::npos)
        << run.err;
    EXPECT_LT(run.elapsed, 3500ms);
}

}  // namespace
}  // namespace tallyrun::testing
