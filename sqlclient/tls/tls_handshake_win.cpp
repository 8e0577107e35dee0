// The handshake in Schannel, as Microsoft's drivers make theirs on Windows: the system's trust store (checked by
// hand afterwards, so that the handshake completes whatever the certificate holds), and TLS 1.0 left out.
#include "sqlclient/tls/tls_handshake.h"

#include "base/system_message.h"
#include "base/windows/utf16_text.h"

#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <array>
#include <memory>

namespace tallyrun::odbc {
namespace {

constexpr unsigned char Tds8[] = {7, 't', 'd', 's', '/', '8', '.', '0'};  // ALPN's length-prefixed form

// The SSL policy's checks that can be set aside, as Microsoft documents them; MinGW's headers lack them.
constexpr DWORD IgnoreRevocation = 0x00000080;
constexpr DWORD IgnoreUnknownAuthority = 0x00000100;
constexpr DWORD IgnoreWrongUsage = 0x00000200;
constexpr DWORD IgnoreName = 0x00001000;
constexpr DWORD IgnoreDates = 0x00002000;

// A handle of Schannel's (credentials and a context are both SecHandles), released by `Release` once given out.
template <auto Release>
struct Held {
    SecHandle handle{};
    bool held = false;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (held)
            Release(&handle);
    }
};
using Credentials = Held<&FreeCredentialsHandle>;
using Context = Held<&DeleteSecurityContext>;

struct FreeCertificate {
    void operator()(const CERT_CONTEXT* certificate) const { CertFreeCertificateContext(certificate); }
};
struct FreeChain {
    void operator()(const CERT_CHAIN_CONTEXT* chain) const { CertFreeCertificateChain(chain); }
};
struct FreeLocal {
    void operator()(void* memory) const { LocalFree(memory); }
};
struct FreeBuffer {
    void operator()(void* memory) const { FreeContextBuffer(memory); }
};
using Certificate = std::unique_ptr<const CERT_CONTEXT, FreeCertificate>;

// The address as the certificate's names are written (an IPv6 address shortened); empty for a host name.
std::string AddressText(const std::string& host)
{
    unsigned char address[16];
    char text[INET6_ADDRSTRLEN] = {};
    for (const int family : {AF_INET, AF_INET6})
        if (inet_pton(family, host.c_str(), address) == 1 && inet_ntop(family, address, text, sizeof text))
            return text;
    return {};
}

std::chrono::sys_seconds TimeOf(const FILETIME& time)
{
    constexpr long long Epoch = 116444736000000000LL;  // 1970-01-01 in FILETIME's 100 ns since 1601
    const long long ticks = (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return std::chrono::sys_seconds(std::chrono::seconds((ticks - Epoch) / 10000000));
}

std::string NameText(CERT_NAME_BLOB& name)
{
    constexpr DWORD Form = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
    const DWORD size = CertNameToStrW(X509_ASN_ENCODING, &name, Form, nullptr, 0);
    std::wstring text(size, L'\0');
    CertNameToStrW(X509_ASN_ENCODING, &name, Form, text.data(), size);
    return Narrow(text.c_str());
}

std::vector<std::string> NamesOf(const CERT_CONTEXT& certificate)
{
    std::vector<std::string> names;
    const CERT_INFO& info = *certificate.pCertInfo;
    if (const CERT_EXTENSION* extension =
            CertFindExtension(szOID_SUBJECT_ALT_NAME2, info.cExtension, info.rgExtension)) {
        CERT_ALT_NAME_INFO* decoded = nullptr;
        DWORD size = 0;
        if (CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size)) {
            const std::unique_ptr<CERT_ALT_NAME_INFO, FreeLocal> owned(decoded);
            for (DWORD i = 0; i < decoded->cAltEntry; ++i) {
                const CERT_ALT_NAME_ENTRY& entry = decoded->rgAltEntry[i];
                const CRYPT_DATA_BLOB& ip = entry.IPAddress;
                char text[INET6_ADDRSTRLEN] = {};
                if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME)
                    names.push_back(Narrow(entry.pwszDNSName));
                else if (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && (ip.cbData == 4 || ip.cbData == 16)
                         && inet_ntop(ip.cbData == 4 ? AF_INET : AF_INET6, ip.pbData, text, sizeof text))
                    names.emplace_back(text);
            }
        }
    }
    if (names.empty()) {
        wchar_t common[256] = {};
        if (CertGetNameStringW(&certificate, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME), common,
                               256) > 1)
            names.push_back(Narrow(common));
    }
    return names;
}

// Whether the chain holds under the SSL policy with the given problems set aside.
bool Holds(const CERT_CHAIN_CONTEXT* chain, const std::wstring& host, DWORD ignored, DWORD ignoredChecks)
{
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = ignoredChecks;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.dwFlags = ignored;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) && status.dwError == 0;
}

std::optional<CertificateFacts> PeerCertificate(CtxtHandle& context, const std::string& host)
{
    const CERT_CONTEXT* received = nullptr;
    if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &received) != SEC_E_OK || !received)
        return std::nullopt;
    const Certificate certificate(received);
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    const CERT_CHAIN_CONTEXT* built = nullptr;
    if (!CertGetCertificateChain(nullptr, received, nullptr, received->hCertStore, &parameters, 0, nullptr, &built))
        return std::nullopt;
    const std::unique_ptr<const CERT_CHAIN_CONTEXT, FreeChain> chain(built);
    CertificateFacts facts;
    facts.subject = NameText(received->pCertInfo->Subject);
    facts.issuer = NameText(received->pCertInfo->Issuer);
    facts.names = NamesOf(*received);
    facts.notBefore = TimeOf(received->pCertInfo->NotBefore);
    facts.notAfter = TimeOf(received->pCertInfo->NotAfter);
    // The dates are judged apart, from the certificate itself; trust and the name each with the other set aside.
    // A chain that stops short of a root is not trusted, whatever the policy makes of it (Wine's lets it pass).
    constexpr DWORD Untrusted = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN
                                | CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC;
    const std::wstring wideHost = Widen(host, Malformed::Replace);
    facts.issuerTrusted = (chain->TrustStatus.dwErrorStatus & Untrusted) == 0
                          && Holds(chain.get(), wideHost, CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS,
                                   IgnoreName | IgnoreDates);
    facts.holdsHost = Holds(chain.get(), wideHost,
                            CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS | CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG,
                            IgnoreUnknownAuthority | IgnoreDates | IgnoreRevocation | IgnoreWrongUsage);
    // An address typed matches an address the certificate holds, which Wine's policy does not see.
    const std::string address = AddressText(host);
    facts.holdsHost = facts.holdsHost || (!address.empty() && std::ranges::count(facts.names, address) > 0);
    return facts;
}

std::string Protocol(CtxtHandle& context)
{
    SecPkgContext_ApplicationProtocol chosen{};
    if (QueryContextAttributesW(&context, SECPKG_ATTR_APPLICATION_PROTOCOL, &chosen) != SEC_E_OK
        || chosen.ProtoNegoStatus != SecApplicationProtocolNegotiationStatus_Success)
        return {};
    return std::string(reinterpret_cast<const char*>(chosen.ProtocolId), chosen.ProtocolIdSize);
}

bool NoCommonGround(SECURITY_STATUS status)
{
    return status == SEC_E_ALGORITHM_MISMATCH || status == SEC_E_UNSUPPORTED_FUNCTION;
}

}  // namespace

TlsFacts ShakeHands(TlsTransport& transport, const std::string& host, bool tds8)
{
    TlsFacts facts;
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.grbitEnabledProtocols = SP_PROT_TLS1_1PLUS_CLIENT;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    Credentials credentials;
    TimeStamp expiry;
    credentials.held = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                 nullptr, &settings, nullptr, nullptr, &credentials.handle, &expiry)
                       == SEC_E_OK;
    if (!credentials.held)
        return facts;

    // The protocol list ALPN offers: one list of one name.
    std::array<unsigned char, sizeof(SEC_APPLICATION_PROTOCOLS) + sizeof Tds8> protocols{};
    auto* list = reinterpret_cast<SEC_APPLICATION_PROTOCOLS*>(protocols.data());
    list->ProtocolListsSize = sizeof(SEC_APPLICATION_PROTOCOL_LIST) - 1 + sizeof Tds8;
    list->ProtocolLists[0].ProtoNegoExt = SecApplicationProtocolNegotiationExt_ALPN;
    list->ProtocolLists[0].ProtocolListSize = sizeof Tds8;
    std::copy(std::begin(Tds8), std::end(Tds8), list->ProtocolLists[0].ProtocolList);

    std::wstring target = AddressText(host).empty() ? Widen(host, Malformed::Replace) : std::wstring();
    constexpr ULONG Wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY
                             | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
    Context context;
    std::vector<std::uint8_t> received;
    SECURITY_STATUS status = SEC_I_CONTINUE_NEEDED;
    for (bool first = true; (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_INCOMPLETE_MESSAGE)
                            && std::chrono::steady_clock::now() < transport.Deadline();
         first = false) {
        if (!first && (received.empty() || status == SEC_E_INCOMPLETE_MESSAGE)) {
            std::uint8_t buffer[16384];
            const auto got = transport.Receive(buffer);
            if (got <= 0) {
                facts.outcome = TlsFacts::Outcome::Failed;
                facts.reason = "the server closed the connection in the TLS handshake";
                return facts;
            }
            received.insert(received.end(), buffer, buffer + got);
        }
        SecBuffer in[2] = {{static_cast<ULONG>(received.size()), SECBUFFER_TOKEN, received.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        if (first)
            in[0] = {static_cast<ULONG>(protocols.size()), SECBUFFER_APPLICATION_PROTOCOLS, protocols.data()};
        SecBufferDesc input{SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc output{SECBUFFER_VERSION, 1, out};
        ULONG attributes = 0;
        status = InitializeSecurityContextW(&credentials.handle, first ? nullptr : &context.handle,
                                            target.empty() ? nullptr : target.data(), Wanted, 0, 0,
                                            first && !tds8 ? nullptr : &input, 0, &context.handle, &output,
                                            &attributes, nullptr);
        context.held = context.held || (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK));
        const std::unique_ptr<void, FreeBuffer> token(out[0].pvBuffer);
        if (out[0].cbBuffer > 0
            && !transport.Send({static_cast<const std::uint8_t*>(out[0].pvBuffer), out[0].cbBuffer})) {
            facts.outcome = TlsFacts::Outcome::Failed;
            return facts;
        }
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            continue;
        if (!first && in[1].BufferType == SECBUFFER_EXTRA)
            received.erase(received.begin(), received.end() - in[1].cbBuffer);
        else if (!first)
            received.clear();
    }
    if (status != SEC_E_OK) {
        facts.outcome = NoCommonGround(status) ? TlsFacts::Outcome::NoCommonGround : TlsFacts::Outcome::Failed;
        facts.reason = SystemMessage(status);
        return facts;
    }
    transport.Flush();
    facts.protocol = Protocol(context.handle);
    facts.certificate = PeerCertificate(context.handle, host);
    facts.outcome = facts.certificate ? TlsFacts::Outcome::Completed : TlsFacts::Outcome::Failed;
    return facts;
}

}  // namespace tallyrun::odbc
