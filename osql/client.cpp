#include "osql/client.h"

#include "base/unicode.h"
#include "client_lines/client_lines.h"
#include "osql/output.h"
#include "sqlclient/odbc/session.h"

#include <optional>

namespace tallyrun::osql {
namespace {

odbc::ConnectOptions ConnectOptionsFor(const Options& options)
{
    odbc::ConnectOptions connect;
    connect.server = options.server;
    connect.database = options.database;
    if (options.login)
        connect.sqlLogin = odbc::SqlLogin{*options.login, options.password.value_or("")};
    connect.application = "osql";
    connect.loginTimeout = options.loginTimeout;
    connect.queryTimeout = options.queryTimeout;
    connect.encryption = options.encryption;
    connect.trustServerCertificate = options.trustServerCertificate;
    return connect;
}

// The first line of a failed login names the server; the description below may quote a long name whole already.
std::string Shortened(const std::string& name)
{
    constexpr std::size_t MaxBytes = 64;
    if (name.size() <= MaxBytes)
        return name;
    return std::string(CutUtf8(name, MaxBytes)) + "...";
}

void PrintMessages(odbc::Batch& batch, std::ostream& out)
{
    for (const auto& message : batch.TakeMessages())
        out << FormatMessage(message) << '\n';
}

void PrintResult(odbc::Batch& batch, std::ostream& out)
{
    if (batch.Columns().empty()) {
        if (const long long count = batch.RowCount(); count >= 0)
            out << RowsAffected(count) << '\n';
        return;
    }
    ResultPrinter printer(out, batch.Columns());
    printer.PrintHeader();
    while (batch.NextRow()) {
        PrintMessages(batch, out);
        printer.PrintRow(batch.CurrentRow());
    }
    PrintMessages(batch, out);
    out << '\n' << RowsAffected(batch.RowsFetched()) << '\n';
}

}  // namespace

int Run(std::string_view program, const Options& options, std::ostream& out, std::ostream& err)
{
    std::optional<odbc::Session> session;
    try {
        session.emplace(ConnectOptionsFor(options));
    } catch (const Error& error) {
        err << client_lines::FailurePrefix(program) << "cannot connect to " << TerminalSafe(Shortened(options.server)) << ":\n"
            << FormatError(error) << '\n';
        return 1;
    }
    if (const auto warning = session->CertificateWarning(); warning && !options.trustServerCertificate)
        err << client_lines::WarningPrefix(program) << TerminalSafe(*warning) << '\n';

    try {
        odbc::Batch batch = session->Execute(options.query);
        PrintMessages(batch, out);
        while (batch.NextResult()) {
            PrintMessages(batch, out);
            PrintResult(batch, out);
        }
        PrintMessages(batch, out);
        out.flush();
        return options.failOnError && batch.HadError() ? 1 : 0;
    } catch (const Error& error) {
        out.flush();
        err << client_lines::FailurePrefix(program) << "the query failed:\n" << FormatError(error) << '\n';
        return 1;
    }
}

}  // namespace tallyrun::osql
