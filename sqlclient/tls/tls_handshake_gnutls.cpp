// The handshake in GnuTLS, the library FreeTDS uses here: the same system trust and the same priorities as FreeTDS
// told to refuse TLS 1.0.
#include "sqlclient/tls/tls_handshake.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <arpa/inet.h>

#include <cerrno>
#include <memory>

namespace tallyrun::odbc {
namespace {

constexpr const char* Priorities = "NORMAL:%COMPAT:-VERS-SSL3.0:-VERS-TLS1.0";
constexpr unsigned char Tds8[] = "tds/8.0";

using Session = std::unique_ptr<gnutls_session_int, decltype(&gnutls_deinit)>;
using Credentials =
    std::unique_ptr<gnutls_certificate_credentials_st, decltype(&gnutls_certificate_free_credentials)>;
using Certificate = std::unique_ptr<gnutls_x509_crt_int, decltype(&gnutls_x509_crt_deinit)>;

ssize_t Push(gnutls_transport_ptr_t transport, const void* data, std::size_t size)
{
    if (static_cast<TlsTransport*>(transport)->Send({static_cast<const std::uint8_t*>(data), size}))
        return static_cast<ssize_t>(size);
    errno = ETIMEDOUT;  // anything but EAGAIN and EINTR ends the handshake
    return -1;
}

ssize_t Pull(gnutls_transport_ptr_t transport, void* data, std::size_t size)
{
    const auto got = static_cast<TlsTransport*>(transport)->Receive({static_cast<std::uint8_t*>(data), size});
    if (got < 0)
        errno = ETIMEDOUT;
    return got;
}

bool IsIpAddress(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// A text the library writes into a buffer it is given: asked for its size first.
template <class Read>
std::string ReadText(Read read)
{
    std::size_t size = 0;
    if (read(nullptr, &size) != GNUTLS_E_SHORT_MEMORY_BUFFER)
        return {};
    std::string text(size, '\0');
    if (read(text.data(), &size) < 0)
        return {};
    text.resize(size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::vector<std::string> NamesOf(gnutls_x509_crt_t certificate)
{
    std::vector<std::string> names;
    for (unsigned index = 0;; ++index) {
        char value[256];
        std::size_t size = sizeof value;
        const int type = gnutls_x509_crt_get_subject_alt_name(certificate, index, value, &size, nullptr);
        if (type < 0 && type != GNUTLS_E_SHORT_MEMORY_BUFFER)
            break;  // the last name read, or a certificate the library cannot read further
        if (type == GNUTLS_SAN_DNSNAME) {
            names.emplace_back(value, size);
        } else if (type == GNUTLS_SAN_IPADDRESS && (size == 4 || size == 16)) {
            char text[INET6_ADDRSTRLEN];
            if (inet_ntop(size == 4 ? AF_INET : AF_INET6, value, text, sizeof text))
                names.emplace_back(text);
        }
    }
    if (names.empty()) {
        auto common = ReadText([&](char* buffer, std::size_t* size) {
            return gnutls_x509_crt_get_dn_by_oid(certificate, GNUTLS_OID_X520_COMMON_NAME, 0, 0, buffer, size);
        });
        if (!common.empty())
            names.push_back(std::move(common));
    }
    return names;
}

std::optional<CertificateFacts> PeerCertificate(gnutls_session_t session, const std::string& host)
{
    unsigned count = 0;
    const gnutls_datum_t* chain = gnutls_certificate_get_peers(session, &count);
    gnutls_x509_crt_t made = nullptr;
    if (!chain || count == 0 || gnutls_x509_crt_init(&made) < 0)
        return std::nullopt;
    const Certificate certificate(made, gnutls_x509_crt_deinit);
    if (gnutls_x509_crt_import(made, &chain[0], GNUTLS_X509_FMT_DER) < 0)
        return std::nullopt;
    CertificateFacts facts;
    facts.subject =
        ReadText([&](char* buffer, std::size_t* size) { return gnutls_x509_crt_get_dn(made, buffer, size); });
    facts.issuer =
        ReadText([&](char* buffer, std::size_t* size) { return gnutls_x509_crt_get_issuer_dn(made, buffer, size); });
    facts.names = NamesOf(made);
    facts.notBefore = std::chrono::sys_seconds(std::chrono::seconds(gnutls_x509_crt_get_activation_time(made)));
    facts.notAfter = std::chrono::sys_seconds(std::chrono::seconds(gnutls_x509_crt_get_expiration_time(made)));
    unsigned status = 0;
    facts.issuerTrusted = gnutls_certificate_verify_peers2(session, &status) == 0 && status == 0;
    facts.holdsHost = gnutls_x509_crt_check_hostname(made, host.c_str()) != 0;
    return facts;
}

// Versions and ciphers refused, as either side reports it.
bool NoCommonGround(gnutls_session_t session, int error)
{
    if (error == GNUTLS_E_FATAL_ALERT_RECEIVED) {
        const auto alert = gnutls_alert_get(session);
        return alert == GNUTLS_A_PROTOCOL_VERSION || alert == GNUTLS_A_HANDSHAKE_FAILURE
               || alert == GNUTLS_A_INSUFFICIENT_SECURITY;
    }
    return error == GNUTLS_E_UNSUPPORTED_VERSION_PACKET || error == GNUTLS_E_NO_CIPHER_SUITES
           || error == GNUTLS_E_UNKNOWN_CIPHER_SUITE || error == GNUTLS_E_INSUFFICIENT_SECURITY;
}

std::string Reason(gnutls_session_t session, int error)
{
    std::string reason = gnutls_strerror(error);
    const char* alert = error == GNUTLS_E_FATAL_ALERT_RECEIVED ? gnutls_alert_get_name(gnutls_alert_get(session))
                                                                : nullptr;
    if (alert && reason.ends_with('.'))
        reason.back() = ':';
    return alert ? reason + " " + alert : reason;
}

}  // namespace

TlsFacts ShakeHands(TlsTransport& transport, const std::string& host, bool tds8)
{
    TlsFacts facts;
    gnutls_certificate_credentials_t madeCredentials = nullptr;
    if (gnutls_certificate_allocate_credentials(&madeCredentials) < 0)
        return facts;
    const Credentials credentials(madeCredentials, gnutls_certificate_free_credentials);
    // The dates are judged apart, from the certificate itself: the store only says whom it trusts.
    gnutls_certificate_set_verify_flags(madeCredentials,
                                        GNUTLS_VERIFY_DISABLE_TIME_CHECKS | GNUTLS_VERIFY_DISABLE_TRUSTED_TIME_CHECKS);
    gnutls_certificate_set_x509_system_trust(madeCredentials);
    gnutls_session_t madeSession = nullptr;
    if (gnutls_init(&madeSession, GNUTLS_CLIENT) < 0)
        return facts;
    const Session session(madeSession, gnutls_deinit);
    const gnutls_datum_t protocol{const_cast<unsigned char*>(Tds8), sizeof Tds8 - 1};
    if (gnutls_priority_set_direct(madeSession, Priorities, nullptr) < 0
        || gnutls_credentials_set(madeSession, GNUTLS_CRD_CERTIFICATE, madeCredentials) < 0
        || (!IsIpAddress(host) && gnutls_server_name_set(madeSession, GNUTLS_NAME_DNS, host.data(), host.size()) < 0)
        || (tds8 && gnutls_alpn_set_protocols(madeSession, &protocol, 1, 0) < 0))
        return facts;
    gnutls_transport_set_ptr(madeSession, &transport);
    gnutls_transport_set_push_function(madeSession, Push);
    gnutls_transport_set_pull_function(madeSession, Pull);

    int result = 0;
    do {
        result = gnutls_handshake(madeSession);
    } while (result < 0 && gnutls_error_is_fatal(result) == 0
             && std::chrono::steady_clock::now() < transport.Deadline());
    if (result < 0) {
        facts.outcome = NoCommonGround(madeSession, result) ? TlsFacts::Outcome::NoCommonGround
                                                            : TlsFacts::Outcome::Failed;
        facts.reason = Reason(madeSession, result);
        return facts;
    }
    transport.Flush();
    gnutls_datum_t chosen{};
    if (gnutls_alpn_get_selected_protocol(madeSession, &chosen) == 0)
        facts.protocol.assign(reinterpret_cast<const char*>(chosen.data), chosen.size);
    facts.certificate = PeerCertificate(madeSession, host);
    facts.outcome = facts.certificate ? TlsFacts::Outcome::Completed : TlsFacts::Outcome::Failed;
    return facts;
}

}  // namespace tallyrun::odbc
