#include "sqlclient/odbc/driver_profile.h"

#include "base/ascii.h"
#include "sqlclient/odbc/freetds_settings.h"

namespace tallyrun::odbc {
namespace {

// An explicit port wins over the instance name: no SQL Browser lookup is needed then.
std::string MicrosoftServer(const ServerAddress& address)
{
    if (const auto port = KnownPort(address))
        return "SERVER=tcp:" + address.host + "," + std::to_string(*port) + ";";
    return "SERVER=tcp:" + address.host + "\\" + address.instance + ";";
}

std::string FreeTdsPort(const ServerAddress& address)
{
    const auto port = KnownPort(address);
    return port ? "PORT={" + std::to_string(*port) + "};" : "";
}

// The host and the instance go in the settings file's section of the host's name (freetds_settings.h).
std::string FreeTdsServer(const ServerAddress& address)
{
    return "SERVERNAME={" + address.host + "};" + FreeTdsPort(address);
}

std::string FreeTdsServerWithoutSettings(const ServerAddress& address)
{
    const std::string instance = KnownPort(address) ? "" : "\\" + address.instance;
    return "SERVER={" + address.host + instance + "};" + FreeTdsPort(address);
}

std::string Trust(bool trustServerCertificate)
{
    return trustServerCertificate ? "TrustServerCertificate=Yes;" : "";
}

// Driver 17 checks the certificate of a connection it is told to encrypt, and encrypts otherwise only where the
// server demands it, unchecked.
std::string Microsoft17Encryption(Encryption encryption, bool trustServerCertificate)
{
    return (encryption == Encryption::Optional ? "" : "Encrypt=yes;") + Trust(trustServerCertificate);
}

// Driver 18 encrypts and checks the certificate by default; stated, so that no DSN default can weaken it.
std::string Microsoft18Encryption(Encryption encryption, bool trustServerCertificate)
{
    const char* mode = encryption == Encryption::Strict      ? "Encrypt=Strict;"
                       : encryption == Encryption::Mandatory ? "Encrypt=Mandatory;"
                                                             : "Encrypt=Optional;";
    return mode + Trust(trustServerCertificate);
}

// Windows' own driver predates TrustServerCertificate: it is never told to trust.
std::string WindowsSqlServerEncryption(Encryption encryption, bool)
{
    return encryption == Encryption::Optional ? "" : "Encrypt=yes;";
}

// A pinned protocol version stops FreeTDS from retrying the login with older ones, which would stretch a login
// timeout to several times its length; SQL Server answers 7.4 with what it speaks. Every SQL Server since 2005
// offers encryption, so requiring it breaks nothing and keeps the batches off the wire in clear. The certificate
// is checked as the settings file says.
std::string FreeTdsEncryption(Encryption encryption, bool)
{
    return std::string("TDS_Version={7.4};Encryption={") + (encryption == Encryption::Optional ? "request" : "require")
           + "};";
}

constexpr DriverVersion FirstStrictVersion{{18, 1, 2, 1}};

const DriverProfile Microsoft17{.registeredByExactName = true,
                                .bracesDoubled = true,
                                .serverAttributes = MicrosoftServer,
                                .encryptionAttributes = Microsoft17Encryption};
const DriverProfile Microsoft18{.registeredByExactName = true,
                                .strictFrom = FirstStrictVersion,
                                .bracesDoubled = true,
                                .serverAttributes = MicrosoftServer,
                                .encryptionAttributes = Microsoft18Encryption};
// Microsoft documents no certificate check for it, and it has no way to be told to trust one.
const DriverProfile WindowsSqlServer{.registeredByExactName = true,
                                     .bracesDoubled = true,
                                     .serverAttributes = MicrosoftServer,
                                     .encryptionAttributes = WindowsSqlServerEncryption,
                                     .certificateUnchecked = "has no documented check of the server's certificate"};
const DriverProfile FreeTds{.asksBrowserFirst = true,
                            .severityInStateField = true,
                            .serverAttributes = FreeTdsServer,
                            .encryptionAttributes = FreeTdsEncryption,
                            .settingsFile = FreeTdsSettings};
const DriverProfile FreeTdsWithoutSettings{.asksBrowserFirst = true,
                                           .severityInStateField = true,
                                           .serverAttributes = FreeTdsServerWithoutSettings,
                                           .encryptionAttributes = FreeTdsEncryption,
                                           .certificateUnchecked = "cannot be told here to check the server's "
                                                                   "certificate"};

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
    case DriverKind::WindowsSqlServer:
        return WindowsSqlServer;
    case DriverKind::FreeTds:
        return FreeTds;
    case DriverKind::FreeTdsWithoutSettings:
        return FreeTdsWithoutSettings;
    case DriverKind::Microsoft:
        break;
    }
    return Microsoft17;
}

bool CanConnectStrictly(const DriverProfile& profile, const std::optional<DriverVersion>& installed)
{
    return profile.strictFrom && (!installed || *installed >= *profile.strictFrom);
}

}  // namespace tallyrun::odbc
