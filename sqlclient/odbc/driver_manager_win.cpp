// Windows' driver manager, odbc32, is linked with the program and is always there.
#include "sqlclient/odbc/driver_manager.h"

namespace tallyrun::odbc {

std::string DriverManagerFailure()
{
    return {};
}

}  // namespace tallyrun::odbc
