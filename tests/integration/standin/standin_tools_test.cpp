// The stand-in checked with client tools we did not write: FreeTDS's tsql and unixODBC's isql and iusql log in
// with the user's Kerberos ticket and see the catalog the test set.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "tds_standin.h"

namespace tallyrun::testing {
namespace {

const std::string FreeTdsDriver = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";
constexpr const char* Listing = "SELECT name, is_system FROM sys.databases";

class StandInWithTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        standIn.SetCatalog({{"master", true}, {"tempdb", true}, {"Sales", false}, {"Accounts", false}});
    }

    std::string Server(const char* host) const { return std::string(host) + "," + std::to_string(standIn.Port()); }

    static void ExpectCatalog(const ChildOutcome& result, const std::string& separator)
    {
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
        for (const char* row : {"master", "tempdb"})
            EXPECT_NE(result.out.find(row + separator + "1"), std::string::npos) << result.out;
        for (const char* row : {"Sales", "Accounts"})
            EXPECT_NE(result.out.find(row + separator + "0"), std::string::npos) << result.out;
    }

    TdsStandIn standIn;
};

TEST_F(StandInWithTools, TsqlLogsInWithKerberos)
{
    const ChildOutcome result = RunChild({"tsql", "-H", "127.0.0.1", "-p", std::to_string(standIn.Port()), "-o", "q"},
                                          std::string(Listing) + "\ngo\nexit\n");
    ExpectCatalog(result, "\t");
    EXPECT_EQ(standIn.SuccessfulLogins(), 1);
    EXPECT_EQ(standIn.Batches(), std::vector<std::string>{std::string(Listing) + "\n"});
}

TEST_F(StandInWithTools, IsqlConnectsWithoutADataSource)
{
    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        const std::string connection =
            "DRIVER=" + FreeTdsDriver + ";SERVER=" + Server(host) + ";Trusted_Connection=Yes";
        ExpectCatalog(RunChild({"isql", "-k", "-e", "-b", "-d|", connection}, std::string(Listing) + "\n"),
                      "|");
    }
    EXPECT_EQ(standIn.Batches(), (std::vector<std::string>{Listing, Listing}));
}

// This unixODBC's iusql cannot take a connection string without a data source, so the data source is written to
// a private odbc.ini; it still names the driver by its path.
TEST_F(StandInWithTools, IusqlConnectsThroughAPrivateDataSource)
{
    const std::filesystem::path ini =
        std::filesystem::current_path() / ("odbc-" + std::to_string(standIn.Port()) + ".ini");
    {
        std::ofstream out(ini);
        out << "[standin]\nDriver = " << FreeTdsDriver << "\nServer = " << Server("localhost")
            << "\nTrusted_Connection = Yes\n";
    }
    const ChildOutcome result = RunChild({"iusql", "-e", "-b", "-d|", "standin"}, std::string(Listing) + "\n",
                                          {"ODBCINI=" + ini.string()});
    std::filesystem::remove(ini);
    ExpectCatalog(result, "|");
    EXPECT_EQ(standIn.SuccessfulLogins(), 1);
}

}  // namespace
}  // namespace tallyrun::testing
