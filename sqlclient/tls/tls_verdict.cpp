#include "sqlclient/tls/tls_verdict.h"

#include <algorithm>
#include <cstdio>

namespace tallyrun::odbc {
namespace {

constexpr std::size_t MaxNamesTold = 10;

constexpr const char* InstallAuthority =
    "on Debian, its certificate as a .crt file in /usr/local/share/ca-certificates, then update-ca-certificates; "
    "on Windows, the Trusted Root Certification Authorities store";

// A server's own text, told without the control characters a terminal would act on.
std::string Printable(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

std::string DateText(std::chrono::sys_seconds time)
{
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss clock(time - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d UTC", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()));
    return text;
}

std::string NamesText(const std::vector<std::string>& names)
{
    const std::size_t told = std::min(names.size(), MaxNamesTold);
    std::string text;
    for (std::size_t i = 0; i < told; ++i)
        text += (i == 0 ? "" : ", ") + Printable(names[i]);
    if (told < names.size())
        text += " and " + std::to_string(names.size() - told) + " more";
    return text;
}

std::string Line(TlsProblem problem, const TlsFacts& facts, const std::string& server, const std::string& host)
{
    const std::string of = "The certificate of the server " + server;
    switch (problem) {
    case TlsProblem::NoCommonGround:
        return "The server " + server + " and this computer have no TLS version or cipher in common ("
               + Printable(facts.reason) + "). Update the server, or enable TLS 1.2 on it.";
    case TlsProblem::Expired:
        return of + " expired on " + DateText(facts.certificate->notAfter) + ". Renew the server's certificate.";
    case TlsProblem::NotYetValid:
        return of + " is valid only from " + DateText(facts.certificate->notBefore)
               + ". Check the clocks of this computer and of the server, or give the server a certificate valid now.";
    case TlsProblem::OtherNames:
        if (facts.certificate->names.empty())
            return of + " holds no name. Give the server a certificate issued to " + host + ".";
        return of + " is issued to other names than " + host + ": " + NamesText(facts.certificate->names)
               + ". Type one of them as the server name, or give the server a certificate issued to " + host + ".";
    case TlsProblem::SelfSigned:
        return of + " is self-signed (" + Printable(facts.certificate->subject)
               + "), so no authority vouches for it. Give the server a certificate from an authority this computer "
                 "trusts, or install this certificate as an authority on this computer ("
               + InstallAuthority + ").";
    case TlsProblem::UnknownIssuer:
        return of + " (" + Printable(facts.certificate->subject) + ") was issued by "
               + Printable(facts.certificate->issuer)
               + ", an authority this computer does not trust. Install that authority on this computer ("
               + InstallAuthority + "), or give the server a certificate from an authority this computer trusts.";
    }
    return {};
}

}  // namespace

std::vector<TlsProblem> JudgeTls(const TlsFacts& facts, std::chrono::sys_seconds now)
{
    if (facts.outcome == TlsFacts::Outcome::NoCommonGround)
        return {TlsProblem::NoCommonGround};
    if (facts.outcome != TlsFacts::Outcome::Completed || !facts.certificate)
        return {};
    const CertificateFacts& certificate = *facts.certificate;
    std::vector<TlsProblem> problems;
    if (now > certificate.notAfter)
        problems.push_back(TlsProblem::Expired);
    else if (now < certificate.notBefore)
        problems.push_back(TlsProblem::NotYetValid);
    const bool selfSigned = !certificate.issuerTrusted && certificate.subject == certificate.issuer;
    if (!certificate.holdsHost && !selfSigned)
        problems.push_back(TlsProblem::OtherNames);
    if (!certificate.issuerTrusted)
        problems.push_back(selfSigned ? TlsProblem::SelfSigned : TlsProblem::UnknownIssuer);
    return problems;
}

std::vector<std::string> TlsAdvice(const TlsFacts& facts, std::chrono::sys_seconds now, const std::string& server,
                                   const std::string& host)
{
    std::vector<std::string> lines;
    for (const TlsProblem problem : JudgeTls(facts, now))
        lines.push_back(Line(problem, facts, server, host));
    if (!lines.empty() && facts.certificate)
        lines.push_back("For a server you know, -C accepts its certificate as it is.");
    return lines;
}

}  // namespace tallyrun::odbc
