// Diagnostic records of the ODBC calls (driver errors and server messages alike) and the error that keeps them.
#pragma once

#include "platform/core/error.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::odbc {

struct Diagnostic {
    std::string sqlState;           // five characters, e.g. "42000"
    long native = 0;                // the server's message number for server messages
    std::string text;               // as the driver gave it, "[vendor][component]" prefixes included
    std::optional<int> severity;    // the fields below only where the driver exposes them
    std::optional<int> state;
    std::optional<int> line;
    std::string server;
    std::string procedure;

    // The text without the driver's "[vendor][component]" prefixes.
    std::string Message() const;
    // Severity 11 or more; where the driver does not tell the severity, anything but a warning (class 01).
    bool IsError() const;
    // A failure of the connection or the driver rather than of the SQL: the batch cannot go on.
    bool EndsBatch() const;
};

// Whether any of the records has the SQLSTATE `state`.
bool AnyState(const std::vector<Diagnostic>& records, std::string_view state);

// True when the records of a failed call are a server's answer to the batch: an error of the server and nothing
// that ends the batch. Otherwise the call failed for a reason of its own (the connection, a timeout, the driver),
// even where every record is only a warning, as FreeTDS's own messages are (severity below 11).
bool HoldsServerError(const std::vector<Diagnostic>& records);

class OdbcError : public Error {
public:
    // `notes` explain the records further (e.g. why a Kerberos login failed); they follow the records' texts.
    explicit OdbcError(std::vector<Diagnostic> records, std::vector<std::string> notes = {});
    // For a failure the records do not explain in words of their own (e.g. a connection the server reset).
    OdbcError(std::string description, std::vector<Diagnostic> records);

    const std::vector<Diagnostic>& Records() const noexcept { return m_records; }
    // The description line by line (each record's message once, then the notes), for callers that must treat the
    // server's text apart from the line breaks between the lines.
    const std::vector<std::string>& Lines() const noexcept { return m_lines; }

private:
    OdbcError(std::vector<std::string> lines, std::vector<Diagnostic> records);

    std::vector<Diagnostic> m_records;
    std::vector<std::string> m_lines;
};

// A call of a batch that did not finish within the session's query timeout.
class QueryTimeout : public OdbcError {
public:
    QueryTimeout(std::chrono::seconds limit, std::vector<Diagnostic> records);

    std::chrono::seconds Limit() const noexcept { return m_limit; }

private:
    std::chrono::seconds m_limit;
};

}  // namespace tallyrun::odbc
