#include "sqlclient/odbc/connection_string.h"

#include "sqlclient/odbc/driver_profile.h"

namespace tallyrun::odbc {

std::string QuoteAttribute(std::string_view value)
{
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}')
            quoted += '}';
    }
    return quoted + "}";
}

std::string BuildConnectionString(const Driver& driver, const ServerAddress& address,
                                  const ConnectOptions& options)
{
    const DriverProfile& profile = ProfileOf(driver.kind);
    std::string text = "DRIVER=" + QuoteAttribute(driver.reference) + ";" + profile.serverAttributes(address)
                       + profile.encryptionAttributes(options.encryption, options.trustServerCertificate);
    if (options.sqlLogin)
        text += ";UID=" + QuoteAttribute(options.sqlLogin->name) + ";PWD=" + QuoteAttribute(options.sqlLogin->password);
    else
        text += ";Trusted_Connection=Yes";
    if (!options.database.empty())
        text += ";DATABASE=" + QuoteAttribute(options.database);
    if (!options.application.empty())
        text += ";APP=" + QuoteAttribute(options.application);
    return text;
}

}  // namespace tallyrun::odbc
