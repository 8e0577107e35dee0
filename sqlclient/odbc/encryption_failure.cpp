#include "sqlclient/odbc/encryption_failure.h"

#include "base/ascii.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

// Schannel's codes, which Microsoft's drivers on Windows give as the native error of their "SSL Provider" record.
struct NativeMeaning {
    long native;
    EncryptionProblem problem;
};
constexpr NativeMeaning SchannelCodes[] = {
    {-2146893019, EncryptionProblem::UntrustedCertificate},  // 0x80090325 SEC_E_UNTRUSTED_ROOT
    {-2146762487, EncryptionProblem::UntrustedCertificate},  // 0x800B0109 CERT_E_UNTRUSTEDROOT
    {-2146893022, EncryptionProblem::CertificateName},       // 0x80090322 SEC_E_WRONG_PRINCIPAL
    {-2146762481, EncryptionProblem::CertificateName},       // 0x800B010F CERT_E_CN_NO_MATCH
    {-2146893007, EncryptionProblem::Handshake},             // 0x80090331 SEC_E_ALGORITHM_MISMATCH
    {-2146893054, EncryptionProblem::Handshake},             // 0x80090302 SEC_E_UNSUPPORTED_FUNCTION
    {-2146893018, EncryptionProblem::Handshake},             // 0x80090326 SEC_E_ILLEGAL_MESSAGE
    {-2146893016, EncryptionProblem::Handshake},             // 0x80090328 SEC_E_CERT_EXPIRED
};

// OpenSSL's reasons, as Microsoft's drivers on Linux quote them after "SSL Provider: " (native error -1); the name
// and the expiry first, as their texts also say that verification failed. Any other reason is a failed handshake,
// told with the reason.
struct TextMeaning {
    const char* words;
    EncryptionProblem problem;
};
constexpr TextMeaning OpenSslReasons[] = {
    {"does not match host name", EncryptionProblem::CertificateName},
    {"hostname mismatch", EncryptionProblem::CertificateName},
    {"ip address mismatch", EncryptionProblem::CertificateName},
    {"certificate has expired", EncryptionProblem::Handshake},
    {"certificate verify failed", EncryptionProblem::UntrustedCertificate},
};

constexpr std::string_view SslProvider = "SSL Provider: ";

// FreeTDS is told to refuse TLS 1.0 where it reads its settings file (Linux), but takes 1.1; OpenSSL 3, under
// Microsoft's drivers on Linux, takes neither at its default security level; Windows decides for its drivers.
// So this says only what to do.
constexpr const char* OldTls = "If the server speaks only TLS 1.0 or 1.1, which are retired (RFC 8996), update it or "
                                "enable TLS 1.2 on it.";
constexpr const char* StrictDriver = "Install ODBC Driver 18 for SQL Server 18.1.2.1 or later.";

// FreeTDS's "Adaptive Server connection failed", which is all it says when the TLS handshake fails or the server
// offers no encryption that was required.
constexpr long FreeTdsConnectionFailed = 20002;

bool OnlyFreeTdsConnectionFailed(const std::vector<Diagnostic>& records)
{
    return std::any_of(records.begin(), records.end(),
                       [](const Diagnostic& d) { return d.native == FreeTdsConnectionFailed; })
           && std::all_of(records.begin(), records.end(),
                          [](const Diagnostic& d) { return d.native == 0 || d.native == FreeTdsConnectionFailed; });
}

}  // namespace

EncryptionFinding FindTlsProblem(const std::vector<Diagnostic>& records)
{
    for (const auto& record : records) {
        const std::string message = record.Message();
        const auto provider = message.find(SslProvider);
        const std::string reason = provider == std::string::npos ? message : message.substr(provider + SslProvider.size());
        for (const auto& code : SchannelCodes)
            if (record.native == code.native)
                return {.problem = code.problem, .reason = reason};
        if (provider == std::string::npos)
            continue;
        const std::string folded = FoldAscii(reason);
        for (const auto& meaning : OpenSslReasons)
            if (folded.find(meaning.words) != std::string::npos)
                return {.problem = meaning.problem, .reason = reason};
        return {.problem = EncryptionProblem::Handshake, .reason = reason};
    }
    return {};
}

bool WorthAskingServer(const std::vector<Diagnostic>& records)
{
    return (AnyState(records, "08001") || AnyState(records, "08S01")) && !AnyState(records, "28000");
}

bool WorthExaminingTls(const EncryptionFinding& finding)
{
    switch (finding.problem) {
    case EncryptionProblem::UntrustedCertificate:
    case EncryptionProblem::CertificateName:
    case EncryptionProblem::Handshake:
    case EncryptionProblem::HandshakeUntold:
    case EncryptionProblem::StrictFailed:
        return true;
    default:
        return false;
    }
}

EncryptionFinding FindEncryptionProblem(const std::vector<Diagnostic>& records, PreloginAnswer answer,
                                        Encryption asked)
{
    if (auto finding = FindTlsProblem(records); finding.problem != EncryptionProblem::None)
        return finding;
    switch (answer) {
    case PreloginAnswer::StrictOnly:
        return {.problem = EncryptionProblem::StrictOnly};
    case PreloginAnswer::NotSqlServer:
        return {.problem = EncryptionProblem::NotSqlServer};
    case PreloginAnswer::ClosedWithoutAnswer:
        return {.problem = EncryptionProblem::ClosedWithoutAnswer};
    case PreloginAnswer::EncryptionNotOffered:
        if (asked != Encryption::Optional)
            return {.problem = EncryptionProblem::NotOffered};
        break;
    case PreloginAnswer::EncryptionOffered:
        if (OnlyFreeTdsConnectionFailed(records))
            return {.problem = EncryptionProblem::HandshakeUntold};
        break;
    case PreloginAnswer::Unknown:
        break;
    }
    return {};
}

bool RetryStrictly(const EncryptionFinding& finding, Encryption asked, bool driverCanConnectStrictly)
{
    return finding.problem == EncryptionProblem::StrictOnly && asked != Encryption::Strict && driverCanConnectStrictly;
}

std::string StrictAdvice(const std::string& server)
{
    return "The server " + server + " accepts only strict (TDS 8.0) encryption, which the installed ODBC driver "
           "cannot make. " + StrictDriver;
}

std::string StrictUnavailable(const std::string& driver)
{
    return "Strict (TDS 8.0) encryption was asked for (-N s), which the installed ODBC driver " + driver
           + " cannot make. " + StrictDriver + " Or ask for mandatory encryption (-N m).";
}

std::vector<std::string> EncryptionAdvice(const EncryptionFinding& finding, const std::string& server,
                                          const ServerAddress& address)
{
    const std::string& host = address.host;
    const std::string where = host + " port " + std::to_string(KnownPort(address).value_or(DefaultPort));
    switch (finding.problem) {
    case EncryptionProblem::UntrustedCertificate:
        return {"The certificate of the server " + server + " is not trusted by this computer, and Tallyrun keeps "
                "that check: it is what proves the server is the one named. Give the server a certificate from an "
                "authority this computer trusts (SQL Server Configuration Manager, the instance's protocol "
                "properties, Certificate), or install the authority that issued the server's certificate on this "
                "computer.",
                "For a server you know, -C accepts its certificate as it is."};
    case EncryptionProblem::CertificateName:
        return {"The certificate of the server " + server + " is issued to another name than " + host
                + ". Type the name the certificate holds, usually the server's full name"
                + (host.find('.') == std::string::npos ? " (" + host + ".<domain>)." : ".")};
    case EncryptionProblem::Handshake: {
        std::string reason = finding.reason;
        while (!reason.empty() && (reason.back() == '.' || reason.back() == ' '))
            reason.pop_back();
        return {"The TLS handshake with the server " + server + " failed: " + reason + ". " + OldTls};
    }
    case EncryptionProblem::HandshakeUntold:
        if (!finding.verdict.empty())
            return finding.verdict;
        return {"The connection to the server " + server + " failed after it offered encryption, most likely in the "
                "TLS handshake; FreeTDS does not say why (with the environment variable TDSDUMP set to a file name, "
                "it writes its log there). " + OldTls};
    case EncryptionProblem::StrictOnly:
        return {StrictAdvice(server)};
    case EncryptionProblem::StrictFailed:
        return {"The server " + server + " accepts only strict (TDS 8.0) encryption, and the strict connection "
                "failed too, for the reason above; an ODBC driver older than 18.1.2.1 cannot make it. " + StrictDriver};
    case EncryptionProblem::NotOffered:
        return {"The server " + server + " offers no encryption, and the connection requires it, so that neither "
                "the login nor the batch travels in clear. No SQL Server since SQL Server 2005 answers so: something "
                "between this computer and the server may be removing encryption. Check the network path to "
                + where + " (a proxy, a load balancer, a device that intercepts traffic) before anything else.",
                "For a server you know to have no encryption, -N o connects without it."};
    case EncryptionProblem::NotSqlServer:
        return {"Something other than SQL Server answers at " + where + ". Check the server name and port: SQL "
                "Server's default instance listens on port 1433, a named instance where SQL Server Configuration "
                "Manager shows it."};
    case EncryptionProblem::ClosedWithoutAnswer:
        return {"The server at " + where + " closed the connection without answering, and took no strict (TDS 8.0) "
                "connection either. Check that SQL Server listens on that port, and look in its error log for why "
                "it refused the connection."};
    case EncryptionProblem::Examined:
        return finding.verdict;
    case EncryptionProblem::None:
        break;
    }
    return {};
}

}  // namespace tallyrun::odbc
