// The libraries opened on first use: a missing one fails each call the way its callers already handle and says
// why.
#include "sqlclient/deferred/deferred_library.h"
#include "sqlclient/odbc/driver_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tallyrun {
namespace {

int Answer(int value)
{
    return value;
}

// A driver manager that cannot be opened fails every call with the fallback, and the user is told which library
// is missing and what to install, instead of a call failing without a word.
TEST(DeferredLibrary, AMissingLibraryGivesTheFallbackAndTheDriverManagerSaysItIsMissing)
{
    const DeferredLibrary missing("libtallyrun-no-such-library.so.9");
    EXPECT_EQ(CallDeferred<&Answer>(missing, "Answer", -1, 42), -1);
    const std::string told = odbc::DriverManagerFailure(missing);
    EXPECT_NE(told.find("libtallyrun-no-such-library.so.9: cannot open shared object file"), std::string::npos)
        << told;
    EXPECT_NE(told.find("libodbc2"), std::string::npos) << told;

    const DeferredLibrary c("libc.so.6");
    EXPECT_EQ((CallDeferred<&std::strlen>(c, "strlen", std::size_t{0}, "four")), 4u);
    EXPECT_EQ(odbc::DriverManagerFailure(c), "");
    EXPECT_EQ(odbc::DriverManagerFailure(), "") << "this machine's driver manager";
}

}  // namespace
}  // namespace tallyrun
