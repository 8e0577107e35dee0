// Which installed ODBC driver talks to SQL Server: Microsoft's when registered, else FreeTDS.
#pragma once

#include "base/error.h"

#include <functional>
#include <string>
#include <vector>

namespace tallyrun::odbc {

// Which profile (driver_profile.h) a driver is used with: Microsoft's ODBC Driver 18 or 17, Windows' own "SQL
// Server" driver, FreeTDS where this client hands it a settings file (Linux), or FreeTDS where it cannot (Windows:
// under Wine the host's library never sees the environment osql.exe sets).
enum class DriverKind { Microsoft, Microsoft18, WindowsSqlServer, FreeTds, FreeTdsWithoutSettings };

struct Driver {
    DriverKind kind = DriverKind::FreeTds;
    std::string reference;  // a registered driver name, or the path of the driver library

    bool operator==(const Driver&) const = default;
};

// A driver worth choosing, by its registered name: Microsoft's by the exact name; FreeTDS's by any name that
// contains this one, as packagers and installers name it as they like.
struct KnownDriver {
    std::string name;
    DriverKind kind;
};

// This system's drivers for SQL Server, in order of preference.
std::vector<KnownDriver> PreferredDrivers();

inline constexpr const char* FreeTdsDebianLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

// Driver libraries this system may hold without registering them (FreeTDS's on Debian; none on Windows, whose
// drivers are always registered), tried in order.
std::vector<std::string> UnregisteredDriverLibraries();

// What to install, for a user who has no driver for SQL Server.
std::string MissingDriverAdvice();

// The first of PreferredDrivers() that is registered; else the first unregistered library that `fileExists`
// finds. Raises tallyrun::Error saying what to install when there is none.
Driver ChooseDriver(const std::vector<std::string>& registered,
                    const std::function<bool(const std::string&)>& fileExists);

// ChooseDriver over what the driver manager has registered and what the file system holds.
Driver FindInstalledDriver();

}  // namespace tallyrun::odbc
