// No settings file for FreeTDS on Windows: under Wine the host's library never sees the environment osql.exe
// sets, so a connection through it goes unchecked (DriverKind::FreeTdsWithoutSettings).
#include "sqlclient/odbc/freetds_settings_file.h"

#include "base/error.h"

namespace tallyrun::odbc {

FreeTdsSettingsFile::FreeTdsSettingsFile(std::string_view)
{
    throw Error(errc::SettingsUnavailable,
                "FreeTDS cannot be handed a settings file on Windows, so it cannot be made to check the server's "
                "certificate. Install ODBC Driver 18 for SQL Server.");
}

}  // namespace tallyrun::odbc
