#include "sqlclient/odbc/driver.h"

namespace tallyrun::odbc {

std::vector<KnownDriver> PreferredDrivers()
{
    return {{"ODBC Driver 18 for SQL Server", DriverKind::Microsoft18},
            {"ODBC Driver 17 for SQL Server", DriverKind::Microsoft},
            {"FreeTDS", DriverKind::FreeTds}};
}

// Debian's tdsodbc installs the library without registering it with unixODBC.
std::vector<std::string> UnregisteredDriverLibraries()
{
    return {FreeTdsDebianLibrary};
}

std::string MissingDriverAdvice()
{
    return "No ODBC driver for SQL Server is installed. Install FreeTDS's driver (on Debian: apt-get install "
           "tdsodbc) or Microsoft's \"ODBC Driver 18 for SQL Server\".";
}

}  // namespace tallyrun::odbc
