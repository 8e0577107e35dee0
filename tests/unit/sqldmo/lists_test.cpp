#include "platform/sqldmo/name_list.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::sqldmo {
namespace {

TEST(NameList, ItemsAreOneBasedAndBoundsAreChecked)
{
    const StringNameList names({"alpha", "beta\\SQL2019"});
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names.TypeName(), "NameList");
    EXPECT_EQ(names.Item(1), "alpha");
    EXPECT_EQ(names.Item(2), "beta\\SQL2019");
    for (const std::int32_t outside : {0, 3, -1}) {
        SCOPED_TRACE(outside);
        const Error error = fixtures::RaisedError([&] { names.Item(outside); });
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_NE(error.Description().find(std::to_string(outside)), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace tallyrun::sqldmo
