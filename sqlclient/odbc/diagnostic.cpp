#include "sqlclient/odbc/diagnostic.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

long FirstNumber(const std::vector<Diagnostic>& records)
{
    for (const auto& record : records)
        if (record.native != 0)
            return record.native;
    return errc::OdbcCallFailed;
}

// Every record's message once (drivers repeat some), then the notes.
std::vector<std::string> DescriptionLines(const std::vector<Diagnostic>& records, const std::vector<std::string>& notes)
{
    std::vector<std::string> lines;
    for (const auto& record : records) {
        auto message = record.Message();
        if (std::find(lines.begin(), lines.end(), message) == lines.end())
            lines.push_back(std::move(message));
    }
    lines.insert(lines.end(), notes.begin(), notes.end());
    if (lines.empty())
        lines.push_back("The ODBC call failed without saying why.");
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

std::string Diagnostic::Message() const
{
    std::size_t start = 0;
    while (start < text.size() && text[start] == '[') {
        const auto close = text.find(']', start);
        if (close == std::string::npos)
            break;
        start = close + 1;
    }
    return text.substr(start);
}

bool Diagnostic::IsError() const
{
    if (severity)
        return *severity >= 11;
    return sqlState.rfind("01", 0) != 0;
}

bool Diagnostic::EndsBatch() const
{
    // Connection exceptions, timeouts and cancellation; and the driver's own failures, which carry no number.
    if (sqlState.rfind("08", 0) == 0 || sqlState == "HYT00" || sqlState == "HYT01" || sqlState == "HY008")
        return true;
    return native == 0 && IsError();
}

bool AnyState(const std::vector<Diagnostic>& records, std::string_view state)
{
    return std::any_of(records.begin(), records.end(), [&](const Diagnostic& d) { return d.sqlState == state; });
}

bool HoldsServerError(const std::vector<Diagnostic>& records)
{
    return std::any_of(records.begin(), records.end(), [](const Diagnostic& d) { return d.IsError(); })
           && std::none_of(records.begin(), records.end(), [](const Diagnostic& d) { return d.EndsBatch(); });
}

OdbcError::OdbcError(std::vector<Diagnostic> records, std::vector<std::string> notes)
    : OdbcError(DescriptionLines(records, notes), records)
{
}

OdbcError::OdbcError(std::string description, std::vector<Diagnostic> records)
    : OdbcError(std::vector<std::string>{std::move(description)}, std::move(records))
{
}

OdbcError::OdbcError(std::vector<std::string> lines, std::vector<Diagnostic> records)
    : Error(FirstNumber(records), Joined(lines)), m_records(std::move(records)), m_lines(std::move(lines))
{
}

QueryTimeout::QueryTimeout(std::chrono::seconds limit, std::vector<Diagnostic> records)
    : OdbcError("The query did not finish within the query timeout of " + std::to_string(limit.count())
                    + (limit.count() == 1 ? " second." : " seconds."),
                std::move(records)),
      m_limit(limit)
{
}

}  // namespace tallyrun::odbc
