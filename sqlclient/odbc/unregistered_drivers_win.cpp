#include "sqlclient/odbc/driver.h"

namespace tallyrun::odbc {

// Windows' driver manager knows every installed driver by name.
std::vector<std::string> UnregisteredDriverLibraries()
{
    return {};
}

}  // namespace tallyrun::odbc
