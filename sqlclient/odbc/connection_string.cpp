#include "sqlclient/odbc/connection_string.h"

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

std::string ServerAttributes(DriverKind kind, const ServerAddress& address)
{
    // An explicit port wins over the instance name: no SQL Browser lookup is needed then.
    if (kind == DriverKind::FreeTds) {
        if (address.port || address.instance.empty())
            return "SERVER=" + address.host + ";PORT=" + std::to_string(address.port.value_or(DefaultPort));
        // FreeTDS asks the SQL Browser for the instance's port itself.
        return "SERVER=" + address.host + "\\" + address.instance;
    }
    if (address.port || address.instance.empty())
        return "SERVER=tcp:" + address.host + "," + std::to_string(address.port.value_or(DefaultPort));
    return "SERVER=tcp:" + address.host + "\\" + address.instance;
}

std::string BuildConnectionString(const Driver& driver, const ServerAddress& address,
                                  const ConnectOptions& options)
{
    std::string text = "DRIVER=" + QuoteAttribute(driver.reference) + ";" + ServerAttributes(driver.kind, address);
    if (driver.kind == DriverKind::FreeTds) {
        // A pinned protocol version stops FreeTDS from retrying the login with older ones, which would
        // stretch a login timeout to several times its length; SQL Server answers 7.4 with what it speaks.
        // Every SQL Server since 2005 offers TLS: asked for it, it encrypts the whole session, where FreeTDS
        // left to itself would have it encrypt the login only.
        text += ";TDS_Version=7.4;Encryption=require";
    }
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
