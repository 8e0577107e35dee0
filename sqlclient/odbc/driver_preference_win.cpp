#include "sqlclient/odbc/driver.h"

namespace tallyrun::odbc {

// Every Windows has the old "SQL Server" driver, which logs in with the user's Windows account; FreeTDS comes last,
// as Wine's driver manager lists the host's, which cannot be handed the settings that make it check certificates.
std::vector<KnownDriver> PreferredDrivers()
{
    return {{"ODBC Driver 18 for SQL Server", DriverKind::Microsoft18},
            {"ODBC Driver 17 for SQL Server", DriverKind::Microsoft},
            {"SQL Server", DriverKind::WindowsSqlServer},
            {"FreeTDS", DriverKind::FreeTdsWithoutSettings}};
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
