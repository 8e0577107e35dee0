// What may cross the ODBC boundary: length indicators that fit the buffer, and the watchdog that bounds a call the
// driver would let wait on.
#include "sqlclient/odbc/call_lengths.h"
#include "sqlclient/odbc/call_watchdog.h"
#include "sqlclient/odbc/diagnostic.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;

TEST(CallLengths, AnIndicatorIsReadAgainstTheBufferAndANegativeLengthIsADriverError)
{
    constexpr long long capacity = 8;  // three UTF-16 units and the terminator
    const auto read = [](long long indicator) {
        const Piece piece = ReadPiece(indicator, capacity);
        return std::tuple(piece.null, piece.truncated, piece.units);
    };
    EXPECT_EQ(read(NullData), std::tuple(true, false, 0u));
    EXPECT_EQ(read(6), std::tuple(false, false, 3u));
    EXPECT_EQ(read(1'000'000), std::tuple(false, true, 3u));
    EXPECT_EQ(read(NoTotal), std::tuple(false, true, 3u));
    for (const long long bad : {-2LL, -3LL, -5LL}) {
        const Error error = fixtures::RaisedError([&] { ReadPiece(bad, capacity); });
        EXPECT_EQ(error.Number(), errc::OdbcCallFailed);
        EXPECT_NE(error.Description().find(std::to_string(bad)), std::string::npos) << error.Description();
    }
}

TEST(CallWatchdog, ActsOnlyOnACallStillRunningPastItsLimit)
{
    std::atomic<int> overruns = 0;
    CallWatchdog watchdog(200ms, [&] { ++overruns; });
    for (int call = 0; call < 1000; ++call)
        const auto guard = watchdog.Arm();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(overruns, 0);
    EXPECT_FALSE(watchdog.Fired());
    {
        const auto guard = watchdog.Arm();
        std::this_thread::sleep_for(600ms);
    }
    EXPECT_EQ(overruns, 1);
    EXPECT_TRUE(watchdog.Fired());
}

}  // namespace
}  // namespace tallyrun::odbc
