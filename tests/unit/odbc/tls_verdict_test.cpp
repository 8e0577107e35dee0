// What the client tells of a server's TLS from its own handshake's facts, without a network: each verdict, the
// words that say what to do, and -C only last and only where a certificate is at fault.
#include "sqlclient/tls/tls_verdict.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono;
using enum TlsProblem;

constexpr sys_seconds Now = sys_days(year(2026) / 3 / 1) + hours(12);

TlsFacts Completed(CertificateFacts certificate)
{
    return {TlsFacts::Outcome::Completed, {}, std::move(certificate), {}};
}

// A certificate from a trusted authority, issued to the host, valid now; each case changes what it is about.
CertificateFacts Good()
{
    return {"CN=sql01.corp.example", "CN=Corp CA", {"sql01.corp.example"}, Now - days(30), Now + days(300), true,
            true};
}

template <class Change>
TlsFacts Changed(Change change)
{
    CertificateFacts certificate = Good();
    change(certificate);
    return Completed(std::move(certificate));
}

TEST(TlsVerdict, EachFactBecomesItsVerdictWithWhatToDo)
{
    const struct {
        const char* what;
        TlsFacts facts;
        std::vector<TlsProblem> problems;
        std::vector<std::string> words;  // in the lines, in this order
    } cases[] = {
        {"nothing wrong", Completed(Good()), {}, {}},
        {"no handshake", {}, {}, {}},
        {"broken off otherwise", {TlsFacts::Outcome::Failed, "The TLS connection was non-properly terminated.", {}, {}},
         {}, {}},
        {"no version in common", {TlsFacts::Outcome::NoCommonGround, "A TLS fatal alert has been received. (Protocol "
                                  "version)", {}, {}},
         {NoCommonGround}, {"no TLS version or cipher in common (A TLS fatal alert", "enable TLS 1.2"}},
        {"SQL Server's own self-signed certificate",
         Changed([](CertificateFacts& c) {
             c.subject = c.issuer = "CN=SSL_Self_Signed_Fallback";
             c.names = {"SSL_Self_Signed_Fallback"};
             c.issuerTrusted = c.holdsHost = false;
         }),
         {SelfSigned},
         {"is self-signed (CN=SSL_Self_Signed_Fallback)", "/usr/local/share/ca-certificates",
          "Trusted Root Certification Authorities", "-C accepts"}},
        {"an authority not known here", Changed([](CertificateFacts& c) { c.issuerTrusted = false; }),
         {UnknownIssuer}, {"was issued by CN=Corp CA, an authority this computer does not trust", "-C"}},
        {"a self-signed certificate made trusted here", Changed([](CertificateFacts& c) { c.issuer = c.subject; }),
         {}, {}},
        {"other names, DNS and IP", Changed([](CertificateFacts& c) {
             c.names = {"sql01.corp.example", "10.0.0.7"};
             c.holdsHost = false;
         }),
         {OtherNames}, {"issued to other names than sql01: sql01.corp.example, 10.0.0.7. Type one", "-C"}},
        {"no name at all", Changed([](CertificateFacts& c) {
             c.names.clear();
             c.holdsHost = false;
         }),
         {OtherNames}, {"holds no name. Give the server a certificate issued to sql01."}},
        {"a name a terminal would act on", Changed([](CertificateFacts& c) {
             c.names = {"evil\x1b]0;x\x07"};
             c.holdsHost = false;
         }),
         {OtherNames}, {": evil?]0;x?."}},
        {"twelve names", Changed([](CertificateFacts& c) {
             c.names.assign(12, "n");
             c.holdsHost = false;
         }),
         {OtherNames}, {": n, n, n, n, n, n, n, n, n, n and 2 more."}},
        {"ten names", Changed([](CertificateFacts& c) {
             c.names.assign(10, "n");
             c.holdsHost = false;
         }),
         {OtherNames}, {", n. Type"}},
        {"expired a second ago", Changed([](CertificateFacts& c) { c.notAfter = Now - seconds(1); }), {Expired},
         {"expired on 2026-03-01 11:59 UTC. Renew", "-C"}},
        {"valid to the second", Changed([](CertificateFacts& c) { c.notAfter = c.notBefore = Now; }), {}, {}},
        {"not yet valid", Changed([](CertificateFacts& c) { c.notBefore = Now + hours(36); }), {NotYetValid},
         {"valid only from 2026-03-03 00:00 UTC. Check the clocks", "-C"}},
        {"expired, another name, unknown authority", Changed([](CertificateFacts& c) {
             c.notAfter = Now - days(400);
             c.holdsHost = c.issuerTrusted = false;
         }),
         {Expired, OtherNames, UnknownIssuer}, {"expired on 2025-01-25 12:00", "other names", "does not trust", "-C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(JudgeTls(c.facts, Now), c.problems);
        const auto lines = TlsAdvice(c.facts, Now, "sql01", "sql01");
        EXPECT_EQ(lines.size(), c.problems.size() + (c.facts.certificate && !c.problems.empty() ? 1 : 0));
        std::string text;
        for (const auto& line : lines)
            text += line + "\n";
        std::size_t at = 0;
        for (const std::string& words : c.words) {
            at = text.find(words, at);
            EXPECT_NE(at, std::string::npos) << words << " in\n" << text;
        }
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            EXPECT_EQ(lines[i].find("-C"), std::string::npos) << "-C before the last line";
    }
}

}  // namespace
}  // namespace tallyrun::odbc
