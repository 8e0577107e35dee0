#include "sqlclient/odbc/handles.h"

#include "sqlclient/odbc/driver_manager.h"
#include "base/unicode.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

std::string TextField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field)
{
    SQLWCHAR buffer[512] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLGetDiagFieldW(type, handle, record, field, buffer,
                                          sizeof buffer - sizeof(SQLWCHAR), &bytes);
    if (!SQL_SUCCEEDED(rc))
        return {};
    std::size_t length = 0;
    while (length < std::size(buffer) && buffer[length] != 0)
        ++length;
    return FromWide(buffer, length);
}

}  // namespace

WideString ToWide(std::string_view utf8)
{
    const std::u16string units = ToUtf16(utf8, Malformed::Replace);
    return WideString(units.begin(), units.end());
}

std::string FromWide(const SQLWCHAR* text, std::size_t length)
{
    return ToUtf8(std::u16string(text, text + length));
}

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : m_type(type)
{
    const SQLRETURN rc = SQLAllocHandle(type, parent, &m_handle);
    if (SQL_SUCCEEDED(rc))
        return;
    m_handle = SQL_NULL_HANDLE;
    if (type == SQL_HANDLE_ENV) {
        const std::string missing = DriverManagerFailure();
        throw Error(errc::OdbcCallFailed,
                    missing.empty() ? "The ODBC driver manager could not set up an environment." : missing);
    }
    const SQLSMALLINT parentType = type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC;
    throw OdbcError(ReadDiagnostics(parentType, parent));
}

Handle::~Handle()
{
    if (m_handle != SQL_NULL_HANDLE)
        SQLFreeHandle(m_type, m_handle);
}

Environment::Environment() : m_handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE)
{
    const SQLRETURN rc = SQLSetEnvAttr(m_handle.Get(), SQL_ATTR_ODBC_VERSION,
                                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    if (!SQL_SUCCEEDED(rc))
        throw OdbcError(ReadDiagnostics(m_handle));
}

Connection::Connection(const Environment& environment) : m_handle(SQL_HANDLE_DBC, environment.Get()) {}

Connection::~Connection()
{
    if (m_connected)
        SQLDisconnect(m_handle.Get());
}

std::vector<Diagnostic> ReadDiagnostics(const Handle& handle)
{
    return ReadDiagnostics(handle.Type(), handle.Get());
}

std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::vector<Diagnostic> records;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        WideString message(1024, 0);
        SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.assign(static_cast<std::size_t>(length) + 1, 0);
            rc = SQLGetDiagRecW(type, handle, i, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;

        Diagnostic record;
        record.sqlState = FromWide(state, 5);
        record.native = native;
        record.text = FromWide(message.data(), std::min<std::size_t>(length, message.size() - 1));
        record.server = TextField(type, handle, i, SQL_DIAG_SERVER_NAME);
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace tallyrun::odbc
