#include "sqlclient/odbc/driver_fields.h"

#include "sqlclient/odbc/driver_profile.h"
#include "sqlclient/odbc/handles.h"
#include "sqlclient/odbc/loaded_driver.h"

#include <climits>
#include <string>

namespace tallyrun::odbc {
namespace {

// SQL Server's driver-specific diagnostic fields (odbcss.h). FreeTDS answers the first with the message's
// severity, not its state, and knows none of the others but the line: its message handler files the severity in
// the record's state slot and keeps the state the server sent nowhere (up to 1.5 at least), so with FreeTDS the
// state is not known at all.
constexpr SQLSMALLINT DiagMsgState = -1150;
constexpr SQLSMALLINT DiagSeverity = -1151;
constexpr SQLSMALLINT DiagServerName = -1152;
constexpr SQLSMALLINT DiagProcName = -1153;
constexpr SQLSMALLINT DiagLine = -1154;

using GetDiagRecW = SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLWCHAR*, SQLINTEGER*, SQLWCHAR*,
                                  SQLSMALLINT, SQLSMALLINT*);
// Fixed-size fields are asked for with their size as the buffer length: FreeTDS refuses the negative
// SQL_IS_INTEGER-style lengths the driver manager would accept.
using GetDiagFieldW = SQLRETURN (*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLSMALLINT, SQLPOINTER, SQLSMALLINT,
                                    SQLSMALLINT*);

std::optional<int> IntegerField(GetDiagFieldW field, SQLHSTMT statement, SQLSMALLINT record, SQLSMALLINT id)
{
    SQLINTEGER value = INT_MIN;
    if (!SQL_SUCCEEDED(field(SQL_HANDLE_STMT, statement, record, id, &value, sizeof value, nullptr))
        || value == INT_MIN)
        return std::nullopt;
    return value;
}

std::string TextField(GetDiagFieldW field, SQLHSTMT statement, SQLSMALLINT record, SQLSMALLINT id)
{
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(field(SQL_HANDLE_STMT, statement, record, id, buffer, sizeof buffer - sizeof(SQLWCHAR), &bytes)))
        return {};
    std::size_t length = 0;
    while (length + 1 < std::size(buffer) && buffer[length] != 0)
        ++length;
    return FromWide(buffer, length);
}

}  // namespace

void AddDriverFields(SQLHDBC connection, SQLHSTMT statement, DriverKind kind, std::vector<Diagnostic>& records)
{
    SQLWCHAR name[256] = {};
    SQLSMALLINT nameBytes = 0;
    SQLHSTMT driverStatement = statement;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, SQL_DRIVER_NAME, name, sizeof name - sizeof(SQLWCHAR), &nameBytes))
        || !SQL_SUCCEEDED(SQLGetInfoW(connection, SQL_DRIVER_HSTMT, &driverStatement, sizeof driverStatement, nullptr)))
        return;
    std::size_t nameLength = 0;
    while (nameLength + 1 < std::size(name) && name[nameLength] != 0)
        ++nameLength;
    const auto driver = LoadedDriver::Find(FromWide(name, nameLength));
    if (!driver)
        return;
    const auto record = reinterpret_cast<GetDiagRecW>(driver->Function("SQLGetDiagRecW"));
    const auto field = reinterpret_cast<GetDiagFieldW>(driver->Function("SQLGetDiagFieldW"));
    if (!record || !field)
        return;

    // The driver manager may add records of its own; each of ours is matched, in order, to the next driver
    // record with the same number and SQLSTATE.
    SQLSMALLINT next = 1;
    for (auto& diagnostic : records) {
        for (SQLSMALLINT i = next;; ++i) {
            SQLWCHAR state[6] = {};
            SQLINTEGER native = 0;
            SQLWCHAR text[2] = {};
            SQLSMALLINT textLength = 0;
            if (!SQL_SUCCEEDED(record(SQL_HANDLE_STMT, driverStatement, i, state, &native, text, std::size(text),
                                      &textLength)))
                break;
            if (native != diagnostic.native || FromWide(state, 5) != diagnostic.sqlState)
                continue;
            next = static_cast<SQLSMALLINT>(i + 1);
            SQLUSMALLINT line = 0;
            if (SQL_SUCCEEDED(field(SQL_HANDLE_STMT, driverStatement, i, DiagLine, &line, sizeof line, nullptr))
                && line != 0)
                diagnostic.line = line;
            if (ProfileOf(kind).severityInStateField) {
                diagnostic.severity = IntegerField(field, driverStatement, i, DiagMsgState);
            } else {
                diagnostic.severity = IntegerField(field, driverStatement, i, DiagSeverity);
                diagnostic.state = IntegerField(field, driverStatement, i, DiagMsgState);
                if (auto server = TextField(field, driverStatement, i, DiagServerName); !server.empty())
                    diagnostic.server = std::move(server);
                diagnostic.procedure = TextField(field, driverStatement, i, DiagProcName);
            }
            break;
        }
    }
}

}  // namespace tallyrun::odbc
