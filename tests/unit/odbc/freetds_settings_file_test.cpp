// FreeTDS's settings file as the driver finds it: at the path its variable names, with each connect's text whole
// and only that, and one connect's text kept until that connect is over.
#include "sqlclient/odbc/freetds_settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;

std::string AsFreeTdsReadsIt()
{
    std::ifstream file(std::getenv("FREETDSCONF"));
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(FreeTdsSettingsFile, HoldsEachConnectsTextWholeUntilThatConnectIsOver)
{
    std::future<std::string> second;
    {
        const FreeTdsSettingsFile first("[srv1.example.com]\nhost=srv1.example.com\n");
        second = std::async(std::launch::async, [] {
            const FreeTdsSettingsFile held("[b]\nhost=b\n");
            return AsFreeTdsReadsIt();
        });
        EXPECT_EQ(second.wait_for(200ms), std::future_status::timeout);
        EXPECT_EQ(AsFreeTdsReadsIt(), "[srv1.example.com]\nhost=srv1.example.com\n");
    }
    EXPECT_EQ(second.get(), "[b]\nhost=b\n");
}

}  // namespace
}  // namespace tallyrun::odbc
