// What a caller asks of a connection: server, database, how to log in, how long to wait, which driver.
#pragma once

#include "sqlclient/odbc/driver.h"

#include <chrono>
#include <optional>
#include <string>

namespace tallyrun::odbc {

struct SqlLogin {
    std::string name;
    std::string password;
};

struct ConnectOptions {
    std::string server;                     // as typed: see ParseServerName
    std::string database;                   // empty: the login's default database
    std::optional<SqlLogin> sqlLogin;       // none: a trusted (Kerberos) connection
    std::string application = "Tallyrun";   // shown to the server's administrators as the program name
    std::chrono::seconds loginTimeout{15};
    std::chrono::seconds queryTimeout{0};   // zero: no limit
    std::optional<Driver> driver;           // none: FindInstalledDriver
};

}  // namespace tallyrun::odbc
