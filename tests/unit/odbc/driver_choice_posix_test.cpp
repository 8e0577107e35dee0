// The driver on Linux: chosen where Debian's FreeTDS may be installed unregistered, its libraries opened on first use
// (a missing one fails each call and says why), and FreeTDS's settings file held whole for one connect at a time.
#include "sqlclient/deferred/deferred_library.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/driver_manager.h"
#include "sqlclient/odbc/freetds_settings_file.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;

TEST(DriverChoice, MicrosoftsNewestThenFreeTdsThenItsLibraryThenSaysWhatToInstall)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(ChooseDriver({"FreeTDS", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"}, none),
              (Driver{DriverKind::Microsoft18, "ODBC Driver 18 for SQL Server"}));
    // The old "SQL Server" driver is Windows' own.
    EXPECT_EQ(ChooseDriver({"SQL Server", "FreeTDS 1.3 (64 bit)"}, none),
              (Driver{DriverKind::FreeTds, "FreeTDS 1.3 (64 bit)"}));
    std::string asked;
    const auto debianOnly = [&](const std::string& path) {
        asked = path;
        return true;
    };
    EXPECT_EQ(ChooseDriver({"PostgreSQL"}, debianOnly), (Driver{DriverKind::FreeTds, FreeTdsDebianLibrary}));
    EXPECT_EQ(asked, FreeTdsDebianLibrary);

    const std::string told = fixtures::RaisedError([&] { ChooseDriver({}, none); }).Description();
    EXPECT_NE(told.find("tdsodbc"), std::string::npos) << told;
}

int Answer(int value)
{
    return value;
}

TEST(DeferredLibrary, AMissingLibraryGivesTheFallbackAndTheDriverManagerSaysItIsMissing)
{
    const DeferredLibrary missing("libtallyrun-no-such-library.so.9");
    EXPECT_EQ(CallDeferred<&Answer>(missing, "Answer", -1, 42), -1);
    const std::string told = DriverManagerFailure(missing);
    EXPECT_NE(told.find("libtallyrun-no-such-library.so.9: cannot open shared object file"), std::string::npos)
        << told;
    EXPECT_NE(told.find("libodbc2"), std::string::npos) << told;

    const DeferredLibrary c("libc.so.6");
    EXPECT_EQ((CallDeferred<&std::strlen>(c, "strlen", std::size_t{0}, "four")), 4u);
    EXPECT_EQ(DriverManagerFailure(c), "");
    EXPECT_EQ(DriverManagerFailure(), "") << "this machine's driver manager";
}

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
