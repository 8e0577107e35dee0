// Owning wrappers of ODBC handles, the UTF-16 text the wide calls take, and reading a handle's diagnostics.
// Only this library's sources include it: the ODBC headers stay out of its callers.
#pragma once

#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/odbc_api.h"

#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::odbc {

using WideString = std::basic_string<SQLWCHAR>;

WideString ToWide(std::string_view utf8);
std::string FromWide(const SQLWCHAR* text, std::size_t length);

class Handle {
public:
    // Raises OdbcError with the parent's records (or a plain Error without a parent) when allocation fails.
    Handle(SQLSMALLINT type, SQLHANDLE parent);
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE Get() const noexcept { return m_handle; }
    SQLSMALLINT Type() const noexcept { return m_type; }

private:
    SQLSMALLINT m_type;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// An environment set to ODBC 3 behaviour.
class Environment {
public:
    Environment();
    SQLHENV Get() const noexcept { return m_handle.Get(); }
    const Handle& GetHandle() const noexcept { return m_handle; }

private:
    Handle m_handle;
};

// A connection handle that disconnects, when connected, before it is freed.
class Connection {
public:
    explicit Connection(const Environment& environment);
    ~Connection();

    SQLHDBC Get() const noexcept { return m_handle.Get(); }
    const Handle& GetHandle() const noexcept { return m_handle; }
    void MarkConnected() noexcept { m_connected = true; }

private:
    Handle m_handle;
    bool m_connected = false;
};

// Every diagnostic record on `handle`, with the fields every driver manager passes on.
std::vector<Diagnostic> ReadDiagnostics(const Handle& handle);
std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

}  // namespace tallyrun::odbc
