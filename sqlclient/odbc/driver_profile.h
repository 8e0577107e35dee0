// What differs between the drivers this client reaches SQL Server through, each driver's in one place: the
// connection string's server and encryption attributes and how it carries a value, the settings file FreeTDS
// reads, whether the server's certificate is checked, who asks the SQL Browser for an instance's port, where the
// driver files a message's severity, how its registration is named, and whether it can make strict (TDS 8.0)
// connections.
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/server_name.h"

#include <array>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace tallyrun::odbc {

// A driver's four-part version, as Microsoft numbers its releases (18.1.2.1).
struct DriverVersion {
    std::array<int, 4> parts{};

    auto operator<=>(const DriverVersion&) const = default;
};

// "18.1.2.1", or the version in the file name Microsoft's Linux driver is installed under
// ("libmsodbcsql-18.1.so.2.1"); none when neither is there.
std::optional<DriverVersion> ParseDriverVersion(std::string_view text);

struct DriverProfile {
    bool registeredByExactName = false;  // else any registered name that holds the known one (packagers vary)
    bool asksBrowserFirst = false;       // the SQL Browser is asked here (see ResolveConnectTarget)
    bool severityInStateField = false;   // the driver's message state field holds the severity (FreeTDS)
    // The first version that connects strictly; none: no version does.
    std::optional<DriverVersion> strictFrom = std::nullopt;
    // Microsoft's rule: a '}' in a braced value is written twice. Else a value cannot hold one: FreeTDS ends a
    // braced value at the first "};", and unixODBC, which reads the string first, at a single '}', taking what
    // follows as attributes of its own (a DRIVER= there names the library it loads).
    bool bracesDoubled = false;
    // Each attribute ended by ';'.
    std::string (*serverAttributes)(const ServerAddress& address) = nullptr;
    // Protocol version and encryption. Strict is asked for only of drivers that can make it.
    std::string (*encryptionAttributes)(Encryption encryption, bool trustServerCertificate) = nullptr;
    // The settings file the driver is to read through the connect (FreeTDS's, see freetds_settings.h); none for
    // a driver that takes everything from its connection string.
    std::string (*settingsFile)(const ServerAddress& address, bool trustServerCertificate) = nullptr;
    // Why the server's certificate goes unchecked, to complete "The ODBC driver X ..."; none where it is checked.
    const char* certificateUnchecked = nullptr;
};

const DriverProfile& ProfileOf(DriverKind kind);

// Whether the installed driver can make a strict connection: its profile's version or a later one, where the
// version is known (an older driver given Encrypt=Strict refuses it, which the caller tells as it tells strict).
bool CanConnectStrictly(const DriverProfile& profile, const std::optional<DriverVersion>& installed);

// The installed version of `driver`, read from its registration with the driver manager (unixODBC names Microsoft's
// library file, which carries the version); none where the registration does not tell it, as on Windows.
std::optional<DriverVersion> RegisteredDriverVersion(const Driver& driver);

}  // namespace tallyrun::odbc
