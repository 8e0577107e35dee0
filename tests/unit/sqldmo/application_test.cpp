#include "platform/sqldmo/application.h"

#include <gtest/gtest.h>

namespace tallyrun::sqldmo {
namespace {

TEST(Application, ListsWhatTheListingFindsAsANameList)
{
    int calls = 0;
    SystemApplication application([&] {
        ++calls;
        return std::vector<std::string>{"HOST1", "HOST2\\INST"};
    });
    const auto names = As<NameList>(application.ListAvailableSQLServers());
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(names->Count(), 2);
    EXPECT_EQ(names->Item(2), "HOST2\\INST");

    application.ListAvailableSQLServers();
    EXPECT_EQ(calls, 2) << "each call asks the network afresh";
}

TEST(Application, ListingErrorsReachTheCallerAndQuitEndsService)
{
    SystemApplication failing([]() -> std::vector<std::string> { throw Error(10054, "The network is unreachable"); });
    try {
        failing.ListAvailableSQLServers();
        FAIL() << "the listing error was swallowed";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), 10054);
        EXPECT_EQ(error.Description(), "The network is unreachable");
    }

    SystemApplication application([] { return std::vector<std::string>{"HOST1"}; });
    application.Quit();
    EXPECT_THROW(application.ListAvailableSQLServers(), Error);
}

}  // namespace
}  // namespace tallyrun::sqldmo
