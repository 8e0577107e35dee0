#include "sqlclient/odbc/session.h"

#include "sqlclient/odbc/batch_failure.h"
#include "sqlclient/odbc/call_lengths.h"
#include "sqlclient/odbc/call_watchdog.h"
#include "sqlclient/odbc/connect_failure.h"
#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/driver_fields.h"
#include "sqlclient/odbc/driver_profile.h"
#include "sqlclient/odbc/encryption_failure.h"
#include "sqlclient/odbc/driver_socket.h"
#include "sqlclient/odbc/freetds_settings_file.h"
#include "sqlclient/odbc/handles.h"
#include "sqlclient/odbc/instance_port.h"
#include "sqlclient/odbc/login_deadline.h"
#include "sqlclient/odbc/server_name.h"
#include "sqlclient/kerberos/service_ticket.h"
#include "base/unicode.h"
#include "sqlclient/ssrp/protocol.h"

#include <algorithm>
#include <utility>

namespace tallyrun::odbc {
namespace {

bool IsNumeric(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER: case SQL_BIGINT: case SQL_DECIMAL: case SQL_NUMERIC:
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}

SQLPOINTER IntegerAttribute(std::chrono::seconds value)
{
    return reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max<long long>(value.count(), 0)));
}

// The values of a connection string that come from the user, any of which may be what makes it too long.
std::vector<NamedValue> TypedValues(const ConnectOptions& options)
{
    std::vector<NamedValue> values{{"The server name", options.server}, {"The application name", options.application}};
    if (options.sqlLogin) {
        values.push_back({"The login name", options.sqlLogin->name});
        values.push_back({"The password", options.sqlLogin->password});
    }
    return values;
}

// How long after the query timeout a call may still wait, for the server to acknowledge the cancel FreeTDS sends
// when its own timer runs out. FreeTDS then waits a whole timeout more; a server that stalls never acknowledges,
// so at this point the connection is cut instead, and the timeout holds as given.
constexpr std::chrono::milliseconds CancelGrace{250};

}  // namespace

struct Session::Shared {
    Driver driver;
    std::chrono::seconds queryTimeout;
    Environment environment;
    Connection connection{environment};
    DriverSocket socket;
    std::optional<CallWatchdog> watchdog;  // only with a query timeout and the driver's socket known

    Shared(const Driver& chosen, std::chrono::seconds timeout) : driver(chosen), queryTimeout(timeout) {}

    void Watch(DriverSocket found)
    {
        socket = std::move(found);
        if (socket && queryTimeout.count() > 0)
            watchdog.emplace(queryTimeout + CancelGrace, [this] { socket.Cut(); });
    }

    // Runs one driver call that may wait on the server, within the query timeout.
    template <class Call>
    SQLRETURN Timed(Call call)
    {
        const auto guard = watchdog ? watchdog->Arm() : CallWatchdog::Guard();
        return call();
    }

    // The database the session works in, set once logged in, as no connection string carries it: no name can add
    // attributes to one. Set before the login, unixODBC keeps the value and hands it on to the driver's narrow
    // function as it was given, so that a wide "Sales" arrived as "S\0a\0l\0e\0s\0"; now the driver takes it
    // itself, and quotes it as an identifier in the USE it sends.
    void UseDatabase(const std::string& database)
    {
        WideString name = ToWide(database);
        const SQLRETURN rc = Timed([&] {
            return SQLSetConnectAttrW(connection.Get(), SQL_ATTR_CURRENT_CATALOG, name.data(),
                                      static_cast<SQLINTEGER>(name.size() * sizeof(SQLWCHAR)));
        });
        if (!SQL_SUCCEEDED(rc))
            Fail(ReadDiagnostics(connection.GetHandle()));
    }

    [[noreturn]] void Fail(std::vector<Diagnostic> records) const
    {
        ConnectionEnd end = socket.End();
        SQLUINTEGER dead = SQL_CD_FALSE;
        if (end == ConnectionEnd::Unknown
            && SQL_SUCCEEDED(SQLGetConnectAttrW(connection.Get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
            && dead == SQL_CD_TRUE)
            end = ConnectionEnd::Lost;
        RaiseCallFailure(std::move(records), end, queryTimeout, watchdog && watchdog->Fired());
    }
};

struct Batch::State {
    std::shared_ptr<Session::Shared> shared;
    Handle statement;
    SQLRETURN executed;
    bool started = false;
    bool finished = false;
    std::vector<Column> columns;
    Row row;
    long long rowsFetched = 0;
    std::vector<Diagnostic> messages;
    bool hadError = false;

    explicit State(std::shared_ptr<Session::Shared> owner)
        : shared(std::move(owner)), statement(SQL_HANDLE_STMT, shared->connection.Get()), executed(SQL_SUCCESS)
    {
    }

    // Gathers the records a call left; raises unless a failed call failed for an error of the server.
    void Absorb(SQLRETURN rc)
    {
        if (rc == SQL_SUCCESS || rc == SQL_NO_DATA)
            return;
        if (rc == SQL_INVALID_HANDLE)
            throw Error(errc::OdbcCallFailed, "An ODBC call was given an invalid handle.");
        auto records = ReadDiagnostics(statement);
        AddDriverFields(shared->connection.Get(), statement.Get(), shared->driver.kind, records);
        if (rc == SQL_ERROR && !HoldsServerError(records))
            shared->Fail(std::move(records));
        for (auto& record : records) {
            hadError = hadError || record.IsError();
            messages.push_back(std::move(record));
        }
    }

    void LoadColumns()
    {
        columns.clear();
        SQLSMALLINT count = 0;
        Absorb(SQLNumResultCols(statement.Get(), &count));
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(std::max<SQLSMALLINT>(count, 0)); ++i) {
            SQLWCHAR name[256] = {};
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT type = 0;
            SQLULEN size = 0;
            SQLSMALLINT digits = 0;
            SQLSMALLINT nullable = 0;
            Absorb(SQLDescribeColW(statement.Get(), i, name, std::size(name), &nameLength, &type, &size, &digits,
                                   &nullable));
            SQLLEN display = 0;
            Absorb(SQLColAttributeW(statement.Get(), i, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display));
            columns.push_back({FromWide(name, std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0),
                                                                     std::size(name) - 1)),
                               type, static_cast<long>(display), IsNumeric(type)});
        }
        rowsFetched = 0;
        row.clear();
    }

    std::optional<std::string> ReadValue(SQLUSMALLINT column)
    {
        std::u16string value;
        SQLWCHAR buffer[2048];
        constexpr SQLLEN capacity = sizeof buffer;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = shared->Timed(
                [&] { return SQLGetData(statement.Get(), column, SQL_C_WCHAR, buffer, capacity, &indicator); });
            if (rc == SQL_NO_DATA)
                break;
            if (rc == SQL_ERROR)
                shared->Fail(ReadDiagnostics(statement));
            const Piece piece = ReadPiece(indicator, capacity);
            if (piece.null)
                return std::nullopt;
            value.append(buffer, buffer + piece.units);
            if (rc == SQL_SUCCESS || !piece.truncated)
                break;
        }
        return ToUtf8(value);
    }
};

Batch::Batch(std::unique_ptr<State> state) : m_state(std::move(state)) {}
Batch::~Batch() = default;
Batch::Batch(Batch&&) noexcept = default;
Batch& Batch::operator=(Batch&&) noexcept = default;

bool Batch::NextResult()
{
    State& s = *m_state;
    if (s.finished)
        return false;
    SQLRETURN rc;
    if (!s.started) {
        s.started = true;
        rc = s.executed;
        // A batch whose statement touched no rows still has that statement's result to report.
        if (rc == SQL_NO_DATA)
            rc = SQL_SUCCESS;
    } else {
        rc = s.shared->Timed([&] { return SQLMoreResults(s.statement.Get()); });
        s.Absorb(rc);
    }
    // After an error the driver manager no longer hands out results; the messages are all there is.
    if (rc == SQL_NO_DATA || rc == SQL_ERROR) {
        s.finished = true;
        s.columns.clear();
        return false;
    }
    s.LoadColumns();
    return true;
}

const std::vector<Column>& Batch::Columns() const
{
    return m_state->columns;
}

bool Batch::NextRow()
{
    State& s = *m_state;
    if (s.finished || s.columns.empty())
        return false;
    const SQLRETURN rc = s.shared->Timed([&] { return SQLFetch(s.statement.Get()); });
    s.Absorb(rc);
    if (rc == SQL_NO_DATA || rc == SQL_ERROR)
        return false;
    s.row.clear();
    for (SQLUSMALLINT i = 1; i <= s.columns.size(); ++i)
        s.row.push_back(s.ReadValue(i));
    ++s.rowsFetched;
    return true;
}

const Row& Batch::CurrentRow() const
{
    return m_state->row;
}

long long Batch::RowsFetched() const
{
    return m_state->rowsFetched;
}

long long Batch::RowCount() const
{
    SQLLEN count = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(m_state->statement.Get(), &count)))
        return -1;
    return count;
}

std::vector<Diagnostic> Batch::TakeMessages()
{
    return std::exchange(m_state->messages, {});
}

bool Batch::HadError() const
{
    return m_state->hadError;
}

namespace {

using Clock = std::chrono::steady_clock;

// One SQLDriverConnectW with the options' connection string, which is wiped afterwards: it may hold a password.
// A driver that reads a settings file reads it while this holds it.
SQLRETURN DriverConnect(SQLHDBC dbc, const Driver& driver, const ServerAddress& address, const ConnectOptions& options,
                        std::chrono::seconds loginTimeout)
{
    SQLSetConnectAttrW(dbc, SQL_ATTR_LOGIN_TIMEOUT, IntegerAttribute(loginTimeout), 0);
    std::optional<FreeTdsSettingsFile> settings;
    if (const auto file = ProfileOf(driver.kind).settingsFile)
        settings.emplace(file(address, options.trustServerCertificate));
    WideString text = ToWide(BuildConnectionString(driver, address, options));
    SQLWCHAR completed[1024] = {};
    SQLSMALLINT completedLength = 0;
    const SQLSMALLINT length = ConnectionStringLength(text.size(), TypedValues(options));
    const SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, text.data(), length, completed, std::size(completed),
                                           &completedLength, SQL_DRIVER_NOPROMPT);
    std::fill(text.begin(), text.end(), SQLWCHAR(0));
    return rc;
}

}  // namespace

Session::Session(const ConnectOptions& options)
{
    const ServerAddress typed = ParseServerName(options.server);
    RefuseNul("The database name", options.database);
    const Driver driver = options.driver ? *options.driver : FindInstalledDriver();
    const DriverProfile& profile = ProfileOf(driver.kind);
    const auto canConnectStrictly = [&] { return CanConnectStrictly(profile, RegisteredDriverVersion(driver)); };
    if (options.encryption == Encryption::Strict && !canConnectStrictly())
        throw Error(errc::StrictEncryptionUnavailable, StrictUnavailable(driver.reference));
    const ConnectTarget target = ResolveConnectTarget(driver.kind, typed, options.loginTimeout, ssrp::BrowserPort);
    const TicketPrefetch kerberos = PrefetchServiceTicket(target, options);
    const ServerAddress& address = target.address;
    auto shared = std::make_shared<Shared>(driver, options.queryTimeout);
    const SQLHDBC dbc = shared->connection.Get();

    // The login's deadline holds for every attempt as a whole; with no login timeout (zero) the driver waits as
    // long as it takes, and so does this.
    const auto attempt = [&](const ConnectOptions& asked, std::chrono::seconds timeout) {
        const auto connect = [&] { return DriverConnect(dbc, driver, address, asked, timeout); };
        const LoginAttempt tried = options.loginTimeout.count() > 0
                                       ? AttemptLogin(kerberos.deadline, KnownPort(address), connect)
                                       : LoginAttempt{connect(), false};
        if (tried.timedOut) {
            if (SQL_SUCCEEDED(tried.result))
                shared->connection.MarkConnected();  // cut just after it was made: disconnected as it is freed
            throw OdbcError(LoginTimeoutNote(options), ReadDiagnostics(shared->connection.GetHandle()));
        }
        return tried.result;
    };

    const auto before = OpenTcpSockets();
    if (!SQL_SUCCEEDED(attempt(options, kerberos.loginTimeout))) {
        auto records = ReadDiagnostics(shared->connection.GetHandle());
        auto finding = ExamineEncryption(address, options, records, kerberos.deadline);
        // A server that accepts only strict encryption gets it, in what is left of the login's time; with no time
        // left, the login timeout is what is told.
        if (RetryStrictly(finding, options.encryption, canConnectStrictly())) {
            const auto left = std::chrono::floor<std::chrono::seconds>(kerberos.deadline - Clock::now());
            ConnectOptions strict = options;
            strict.encryption = Encryption::Strict;
            if (left.count() <= 0) {
                finding = {};
            } else if (SQL_SUCCEEDED(attempt(strict, left))) {
                records.clear();
            } else {
                records = ReadDiagnostics(shared->connection.GetHandle());
                finding = ExamineStrictFailure(address, strict, records, kerberos.deadline);
            }
        }
        if (!records.empty()) {
            // A failure FreeTDS leaves untold is the handshake's only when nothing else (Kerberos) explains it.
            std::vector<std::string> notes;
            if (finding.problem == EncryptionProblem::None || finding.problem == EncryptionProblem::HandshakeUntold)
                notes = ExplainConnectFailure(address, options, records, kerberos);
            if (notes.empty())
                notes = EncryptionAdvice(finding, options.server, address);
            throw OdbcError(std::move(records), std::move(notes));
        }
    }
    shared->connection.MarkConnected();
    shared->Watch(DriverSocket::OpenedSince(before, KnownPort(address)));
    if (!options.database.empty())
        shared->UseDatabase(options.database);
    m_shared = std::move(shared);
}

std::optional<std::string> Session::CertificateWarning() const
{
    const Driver& driver = m_shared->driver;
    if (const char* why = ProfileOf(driver.kind).certificateUnchecked)
        return "The ODBC driver " + driver.reference + " " + why + ", so nothing proves that the server is the one "
               "named. Install ODBC Driver 18 for SQL Server, which checks it.";
    return std::nullopt;
}

Session::~Session() = default;
Session::Session(Session&&) noexcept = default;
Session& Session::operator=(Session&&) noexcept = default;

Batch Session::Execute(std::string_view sql)
{
    auto state = std::make_unique<Batch::State>(m_shared);
    if (m_shared->queryTimeout.count() > 0)
        state->Absorb(SQLSetStmtAttrW(state->statement.Get(), SQL_ATTR_QUERY_TIMEOUT,
                                      IntegerAttribute(m_shared->queryTimeout), 0));
    WideString text = ToWide(sql);
    const SQLINTEGER length = BatchLength(text.size());
    state->executed = m_shared->Timed([&] { return SQLExecDirectW(state->statement.Get(), text.data(), length); });
    state->Absorb(state->executed);
    return Batch(std::move(state));
}

QueryResult Query(Session& session, std::string_view sql)
{
    QueryResult result;
    Batch batch = session.Execute(sql);
    bool first = true;
    while (batch.NextResult()) {
        if (first && !batch.Columns().empty()) {
            first = false;
            result.columns = batch.Columns();
            while (batch.NextRow())
                result.rows.push_back(batch.CurrentRow());
        }
    }
    result.messages = batch.TakeMessages();
    std::vector<Diagnostic> errors;
    std::copy_if(result.messages.begin(), result.messages.end(), std::back_inserter(errors),
                 [](const Diagnostic& d) { return d.IsError(); });
    if (!errors.empty())
        throw OdbcError(std::move(errors));
    return result;
}

}  // namespace tallyrun::odbc
