// The libraries opened on first use: a missing one fails each call the way its callers already handle and says
// why, and the forwarders hand every argument on, the variadic principal builder's included.
#include "sqlclient/deferred/deferred_library.h"
#include "sqlclient/odbc/driver_manager.h"
#include "sqlclient/odbc/odbc_api.h"

#include <krb5.h>

#include <gtest/gtest.h>

#include <cerrno>
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
    EXPECT_EQ(missing.Function("anything"), nullptr);
    EXPECT_EQ(CallDeferred<&Answer>(missing, "Answer", -1, 42), -1);
    const std::string told = odbc::DriverManagerFailure(missing);
    EXPECT_NE(told.find("libtallyrun-no-such-library.so.9: cannot open shared object file"), std::string::npos)
        << told;
    EXPECT_NE(told.find("libodbc2"), std::string::npos) << told;

    const DeferredLibrary c("libc.so.6");
    EXPECT_NE(c.Function("strlen"), nullptr);
    EXPECT_EQ(c.Function("tallyrun_no_such_function"), nullptr);
    EXPECT_EQ((CallDeferred<&std::strlen>(c, "strlen", std::size_t{0}, "four")), 4u);
    EXPECT_EQ(odbc::DriverManagerFailure(c), "");
    EXPECT_EQ(odbc::DriverManagerFailure(), "") << "this machine's driver manager";
}

TEST(DeferredLibrary, TheDriverManagerAnswersThroughTheForwarders)
{
    SQLHANDLE environment = SQL_NULL_HANDLE;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)));
    EXPECT_TRUE(SQL_SUCCEEDED(SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0)));
    EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_ENV, environment), SQL_SUCCESS);
}

class KerberosForwarders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(krb5_init_context(&context), 0); }
    void TearDown() override { krb5_free_context(context); }

    std::string Unparsed(krb5_principal principal)
    {
        char* name = nullptr;
        EXPECT_EQ(krb5_unparse_name(context, principal, &name), 0);
        std::string text = name ? name : "";
        krb5_free_unparsed_name(context, name);
        krb5_free_principal(context, principal);
        return text;
    }

    krb5_context context = nullptr;
};

TEST_F(KerberosForwarders, ThePrincipalBuilderHandsOnEveryComponentUpToThree)
{
    constexpr char realm[] = "EXAMPLE.ORG";
    const unsigned int length = sizeof realm - 1;
    krb5_principal principal = nullptr;

    ASSERT_EQ(krb5_build_principal_ext(context, &principal, length, realm, 6u, "krbtgt", length, realm, 0), 0);
    EXPECT_EQ(Unparsed(principal), "krbtgt/EXAMPLE.ORG@EXAMPLE.ORG");

    ASSERT_EQ(krb5_build_principal_ext(context, &principal, length, realm, 4u, "user", 0), 0);
    EXPECT_EQ(Unparsed(principal), "user@EXAMPLE.ORG");

    ASSERT_EQ(krb5_build_principal_ext(context, &principal, length, realm, 1u, "a", 1u, "b", 1u, "c", 0), 0);
    EXPECT_EQ(Unparsed(principal), "a/b/c@EXAMPLE.ORG");

    principal = nullptr;
    EXPECT_EQ(krb5_build_principal_ext(context, &principal, length, realm, 1u, "a", 1u, "b", 1u, "c", 1u, "d", 0),
              EINVAL);
    EXPECT_EQ(principal, nullptr);
}

TEST_F(KerberosForwarders, ErrorsReadBackThroughTheLibrary)
{
    krb5_principal principal = nullptr;
    const krb5_error_code code = krb5_parse_name(context, "a@B@C", &principal);
    ASSERT_NE(code, 0);
    const char* message = krb5_get_error_message(context, code);
    EXPECT_STRNE(message, "");
    krb5_free_error_message(context, message);
}

}  // namespace
}  // namespace tallyrun
