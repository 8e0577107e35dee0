#include "sqlclient/odbc/connection_string.h"

#include "base/error.h"
#include "sqlclient/odbc/driver_profile.h"

namespace tallyrun::odbc {
namespace {

std::string Braced(const DriverProfile& profile, std::string_view named, std::string_view value)
{
    RefuseNul(named, value);
    std::string braced = "{";
    for (char c : value) {
        if (c == '}' && !profile.bracesDoubled)
            throw Error(errc::InvalidArgument,
                        std::string(named) + " holds a '}', which the FreeTDS driver cannot be given: its connection "
                        "string has no way to carry one. Log in with Kerberos (-E) instead, or install Microsoft's "
                        "ODBC Driver 18 for SQL Server, which can carry it.");
        braced += c;
        if (c == '}')
            braced += '}';
    }
    return braced + "};";
}

}  // namespace

void RefuseNul(std::string_view named, std::string_view value)
{
    if (value.find('\0') != std::string_view::npos)
        throw Error(errc::InvalidArgument,
                    std::string(named) + " holds a NUL character, which no ODBC driver can be given. Type it without "
                        "one.");
}

std::string BuildConnectionString(const Driver& driver, const ServerAddress& address,
                                  const ConnectOptions& options)
{
    const DriverProfile& profile = ProfileOf(driver.kind);
    std::string text = "DRIVER=" + Braced(profile, "The driver's name", driver.reference)
                       + profile.serverAttributes(address)
                       + profile.encryptionAttributes(options.encryption, options.trustServerCertificate);
    if (options.sqlLogin)
        text += "UID=" + Braced(profile, "The login name", options.sqlLogin->name) + "PWD="
                + Braced(profile, "The password", options.sqlLogin->password);
    else
        text += "Trusted_Connection=Yes;";
    if (!options.application.empty())
        text += "APP=" + Braced(profile, "The application name", options.application);
    return text;
}

}  // namespace tallyrun::odbc
