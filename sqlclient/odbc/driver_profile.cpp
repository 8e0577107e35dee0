#include "sqlclient/odbc/driver_profile.h"

#include "base/ascii.h"

namespace tallyrun::odbc {
namespace {

// An explicit port wins over the instance name: no SQL Browser lookup is needed then.
std::string MicrosoftServer(const ServerAddress& address)
{
    if (const auto port = KnownPort(address))
        return "SERVER=tcp:" + address.host + "," + std::to_string(*port);
    return "SERVER=tcp:" + address.host + "\\" + address.instance;
}

std::string FreeTdsServer(const ServerAddress& address)
{
    if (const auto port = KnownPort(address))
        return "SERVER=" + address.host + ";PORT=" + std::to_string(*port);
    return "SERVER=" + address.host + "\\" + address.instance;
}

std::string Trust(bool trustServerCertificate)
{
    return trustServerCertificate ? ";TrustServerCertificate=Yes" : "";
}

// ODBC Driver 17 and Windows' "SQL Server" keep their own defaults: encryption where the server demands it.
std::string MicrosoftEncryption(Encryption, bool trustServerCertificate)
{
    return Trust(trustServerCertificate);
}

// Driver 18 encrypts and checks the certificate by default; stated, so that no DSN default can weaken it.
std::string Microsoft18Encryption(Encryption encryption, bool trustServerCertificate)
{
    const char* mode = encryption == Encryption::Strict      ? ";Encrypt=Strict"
                       : encryption == Encryption::Mandatory ? ";Encrypt=Mandatory"
                                                             : ";Encrypt=Optional";
    return mode + Trust(trustServerCertificate);
}

// A pinned protocol version stops FreeTDS from retrying the login with older ones, which would stretch a login
// timeout to several times its length; SQL Server answers 7.4 with what it speaks. FreeTDS 1.3 checks no
// certificate, so there is nothing to trust; every SQL Server since 2005 offers encryption, so requiring it
// breaks nothing and keeps the batches off the wire in clear.
std::string FreeTdsEncryption(Encryption encryption, bool)
{
    return std::string(";TDS_Version=7.4;Encryption=") + (encryption == Encryption::Optional ? "request" : "require");
}

constexpr DriverVersion FirstStrictVersion{{18, 1, 2, 1}};

const DriverProfile Microsoft{true, false, false, std::nullopt, MicrosoftServer,
                              MicrosoftEncryption};
const DriverProfile Microsoft18{true, false, false, FirstStrictVersion,
                                MicrosoftServer, Microsoft18Encryption};
const DriverProfile FreeTds{false, true, true, std::nullopt, FreeTdsServer, FreeTdsEncryption};

// Microsoft's version parts have at most five digits (18.1.2.1, 17.10.6.1).
constexpr std::size_t VersionPartDigits = 6;

}  // namespace

std::optional<DriverVersion> ParseDriverVersion(std::string_view text)
{
    constexpr std::string_view Library = "libmsodbcsql-";
    if (const auto at = text.find(Library); at != std::string_view::npos)
        text.remove_prefix(at + Library.size());
    DriverVersion version;
    for (std::size_t i = 0; i < version.parts.size(); ++i) {
        const auto part = TakeAsciiNumber(text, VersionPartDigits);
        if (!part)
            return std::nullopt;
        version.parts[i] = static_cast<int>(*part);
        // The library's name puts ".so" between the second and the third part.
        const std::string_view separator = i == 1 && text.starts_with(".so.") ? ".so." : ".";
        if (i + 1 < version.parts.size()) {
            if (!text.starts_with(separator))
                return std::nullopt;
            text.remove_prefix(separator.size());
        }
    }
    return version;
}

const DriverProfile& ProfileOf(DriverKind kind)
{
    switch (kind) {
    case DriverKind::Microsoft18:
        return Microsoft18;
    case DriverKind::FreeTds:
        return FreeTds;
    case DriverKind::Microsoft:
        break;
    }
    return Microsoft;
}

bool CanConnectStrictly(const DriverProfile& profile, const std::optional<DriverVersion>& installed)
{
    return profile.strictFrom && (!installed || *installed >= *profile.strictFrom);
}

}  // namespace tallyrun::odbc
