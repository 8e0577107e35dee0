// What a caller asks of a connection: server, database, how to log in, how long to wait, which driver, how
// encrypted.
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

// How much encryption a connection insists on, as sqlcmd's -N names the choices.
enum class Encryption {
    Strict,     // TDS 8.0: TLS before anything else, the certificate always checked
    Mandatory,  // the whole session encrypted; refused by a server that offers no encryption
    Optional,   // encrypted where the server wants it, else only the login (or nothing)
};

struct ConnectOptions {
    std::string server;                     // as typed: see ParseServerName
    std::string database;                   // empty: the login's default database
    std::optional<SqlLogin> sqlLogin;       // none: a trusted (Kerberos) connection
    std::string application = "Tallyrun";   // shown to the server's administrators as the program name
    std::chrono::seconds loginTimeout{15};
    std::chrono::seconds queryTimeout{0};   // zero: no limit
    std::optional<Driver> driver;           // none: FindInstalledDriver
    Encryption encryption = Encryption::Mandatory;
    bool trustServerCertificate = false;    // accept any certificate, where the driver checks it
};

}  // namespace tallyrun::odbc
