#include "sqlclient/odbc/driver.h"

namespace tallyrun::odbc {

// Debian's tdsodbc installs the library without registering it with unixODBC.
std::vector<std::string> UnregisteredDriverLibraries()
{
    return {FreeTdsDebianLibrary};
}

}  // namespace tallyrun::odbc
