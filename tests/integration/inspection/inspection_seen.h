// What the TLS inspection tests look at (the outcome, the verdicts, the protocol chosen, the certificate's names
// and issuer), written as lines by the Windows build's inspecting program under Wine and read back by the tests.
#pragma once

#include "sqlclient/tls/tls_facts.h"
#include "sqlclient/tls/tls_verdict.h"

#include <sstream>
#include <string>
#include <vector>

namespace tallyrun::testing {

struct Seen {
    int outcome = 0;
    std::vector<int> problems;
    std::string protocol;
    std::string issuer;
    std::vector<std::string> names;
};

inline Seen See(const odbc::TlsFacts& facts)
{
    Seen seen{static_cast<int>(facts.outcome), {}, facts.protocol, {}, {}};
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    for (const auto problem : odbc::JudgeTls(facts, now))
        seen.problems.push_back(static_cast<int>(problem));
    if (facts.certificate) {
        seen.issuer = facts.certificate->issuer;
        seen.names = facts.certificate->names;
    }
    return seen;
}

// The outcome and the problems on the first line, then the protocol, the issuer and the names, a line each.
inline std::string Written(const Seen& seen)
{
    std::ostringstream out;
    out << seen.outcome;
    for (const int problem : seen.problems)
        out << ' ' << problem;
    out << '\n' << seen.protocol << '\n' << seen.issuer << '\n';
    for (const auto& name : seen.names)
        out << name << '\n';
    return out.str();
}

// Windows writes its lines ending in CR LF.
inline Seen Read(const std::string& text)
{
    std::istringstream in(text);
    const auto next = [&](std::string& line) {
        const bool read = static_cast<bool>(std::getline(in, line));
        if (line.ends_with('\r'))
            line.pop_back();
        return read;
    };
    std::string line;
    Seen seen;
    next(line);
    std::istringstream numbers(line);
    numbers >> seen.outcome;
    for (int problem; numbers >> problem;)
        seen.problems.push_back(problem);
    next(seen.protocol);
    next(seen.issuer);
    while (next(line))
        seen.names.push_back(line);
    return seen;
}

}  // namespace tallyrun::testing
