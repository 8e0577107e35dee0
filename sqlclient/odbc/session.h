// A connection to one SQL Server and the batches run over it: every result set, row count and message of a
// batch, in the order the server sent them.
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/diagnostic.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::odbc {

struct Column {
    std::string name;
    int sqlType = 0;
    long displaySize = 0;  // characters the driver says a value may need
    bool numeric = false;  // an exact or approximate number, which reads best aligned to the right
};

using Row = std::vector<std::optional<std::string>>;  // UTF-8 texts; NULL as nullopt

// One executed batch, walked result by result. Messages gather as the walk goes; a server error (for example
// severity 16) is a message, while a broken connection or a driver failure raises OdbcError, and a call that
// outlasts the query timeout raises QueryTimeout within that time (plus a fraction of a second).
class Batch {
public:
    ~Batch();
    Batch(Batch&&) noexcept;
    Batch& operator=(Batch&&) noexcept;

    // Moves to the first, then the next result; false when the batch has no more.
    bool NextResult();
    // The current result's columns; empty when it has no rows (e.g. an UPDATE's row count).
    const std::vector<Column>& Columns() const;
    bool NextRow();
    const Row& CurrentRow() const;
    long long RowsFetched() const;
    // Rows the current result affected as the driver counts them; -1 when it does not know.
    long long RowCount() const;

    // The messages gathered since the last call, oldest first.
    std::vector<Diagnostic> TakeMessages();
    bool HadError() const;  // any message so far with IsError()

private:
    friend class Session;
    struct State;
    explicit Batch(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

class Session {
public:
    // Raises tallyrun::Error for a malformed server name, a missing driver, or a login timeout spent before the
    // driver starts (on a host name or a KDC that did not answer), OdbcError when the login fails (with the reason
    // found, e.g. a missing Kerberos ticket, among its notes).
    explicit Session(const ConnectOptions& options);
    ~Session();
    Session(Session&&) noexcept;
    Session& operator=(Session&&) noexcept;

    // Runs the text as one batch. The batch may outlive the session object: it keeps the connection open.
    Batch Execute(std::string_view sql);

    // What to tell the user once where the driver does not check the server's certificate; none where it does.
    std::optional<std::string> CertificateWarning() const;

private:
    friend class Batch;
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

struct QueryResult {
    std::vector<Column> columns;
    std::vector<Row> rows;
    std::vector<Diagnostic> messages;
};

// Runs a batch to its end and keeps its first result set; raises OdbcError with the server's messages when any
// of them is an error.
QueryResult Query(Session& session, std::string_view sql);

}  // namespace tallyrun::odbc
