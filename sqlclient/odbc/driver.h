// Which installed ODBC driver talks to SQL Server: Microsoft's when registered, else FreeTDS.
#pragma once

#include "platform/core/error.h"

#include <functional>
#include <string>
#include <vector>

namespace tallyrun::odbc {

enum class DriverKind { Microsoft, FreeTds };

struct Driver {
    DriverKind kind = DriverKind::FreeTds;
    std::string reference;  // a registered driver name, or the path of the driver library

    bool operator==(const Driver&) const = default;
};

inline constexpr const char* FreeTdsDebianLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

// The first of Microsoft's driver 18, 17, then FreeTDS that is registered; else the FreeTDS library at its Debian
// path when `fileExists` finds it. Raises tallyrun::Error saying what to install when there is none.
Driver ChooseDriver(const std::vector<std::string>& registered,
                    const std::function<bool(const std::string&)>& fileExists);

// ChooseDriver over what the driver manager has registered and what the file system holds.
Driver FindInstalledDriver();

}  // namespace tallyrun::odbc
