#include "sqlclient/odbc/freetds_settings.h"

#include "base/error.h"

namespace tallyrun::odbc {
namespace {

// FreeTDS reads its settings file in lines of at most 255 characters; the rest of a longer one becomes a line of
// its own, so a cut host name would be checked against the certificate instead of the one typed.
constexpr std::size_t LongestLine = 255;
constexpr std::string_view HostKey = "host=";

}  // namespace

std::string FreeTdsSettings(const ServerAddress& address, bool trustServerCertificate)
{
    if (HostKey.size() + address.host.size() > LongestLine)
        throw Error(errc::InvalidArgument,
                    "The host name " + address.host + " is longer than the "
                        + std::to_string(LongestLine - HostKey.size())
                        + " characters FreeTDS reads. Connect by a shorter name of the host, or by its address.");
    std::string text = "[" + address.host + "]\n" + std::string(HostKey) + address.host + "\n";
    if (!KnownPort(address))
        text += "instance=" + address.instance + "\n";
    if (!trustServerCertificate)
        text += "ca file=system\ncheck certificate hostname=yes\n";
    return text + "enable tls v1=no\n";
}

}  // namespace tallyrun::odbc
