#include "sqlclient/odbc/driver.h"

namespace tallyrun::odbc {

// Every Windows has the old "SQL Server" driver, which speaks the same connection string as Microsoft's newer
// ones and logs in with the user's Windows account; FreeTDS comes last, as Wine's driver manager lists the host's.
std::vector<KnownDriver> PreferredDrivers()
{
    return {{"ODBC Driver 18 for SQL Server", DriverKind::Microsoft18},
            {"ODBC Driver 17 for SQL Server", DriverKind::Microsoft},
            {"SQL Server", DriverKind::Microsoft},
            {"FreeTDS", DriverKind::FreeTds}};
}

// Windows' driver manager knows every installed driver by name.
std::vector<std::string> UnregisteredDriverLibraries()
{
    return {};
}

std::string MissingDriverAdvice()
{
    return "No ODBC driver for SQL Server is registered. Install Microsoft's \"ODBC Driver 18 for SQL Server\".";
}

}  // namespace tallyrun::odbc
