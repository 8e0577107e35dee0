#include "odbc_session.h"

#include <sqlext.h>

namespace tallyrun::testing {

namespace {

std::vector<Diagnostic> Diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::vector<Diagnostic> all;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR text[1024] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &native, text, sizeof text, &length)))
            return all;
        all.push_back({reinterpret_cast<char*>(state), native, reinterpret_cast<char*>(text)});
    }
}

// Frees one statement handle on every path out of Execute.
struct Statement {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    ~Statement()
    {
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

}  // namespace

OdbcSession::OdbcSession(std::string server, int loginTimeoutSeconds)
    : m_server(std::move(server)), m_loginTimeout(loginTimeoutSeconds)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
}

OdbcSession::~OdbcSession()
{
    if (m_connected)
        SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

Outcome OdbcSession::Connect()
{
    if (m_loginTimeout > 0)
        SQLSetConnectAttr(m_dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLLEN{m_loginTimeout}), 0);
    std::string text = "DRIVER=" + FreeTdsDriver + ";SERVER=" + m_server + ";Trusted_Connection=Yes;ClientCharset=UTF-8;";
    Outcome outcome;
    outcome.code = SQLDriverConnect(m_dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                                    nullptr, SQL_DRIVER_NOPROMPT);
    outcome.diagnostics = Diagnostics(SQL_HANDLE_DBC, m_dbc);
    m_connected = SQL_SUCCEEDED(outcome.code);
    return outcome;
}

Outcome OdbcSession::Execute(const std::string& sql, std::vector<std::vector<std::string>>* rows,
                             std::vector<std::string> parameters, int executions)
{
    Statement statement;
    Outcome outcome;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &statement.handle)))
        return outcome;
    std::vector<SQLLEN> lengths(parameters.size(), SQL_NTS);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        SQLBindParameter(statement.handle, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                         SQL_VARCHAR, 128, 0, parameters[i].data(), 0, &lengths[i]);
    }
    std::string text = sql;
    if (executions == 0) {
        outcome.code = SQLExecDirect(statement.handle, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
    } else {
        SQLPrepare(statement.handle, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        for (int i = 0; i < executions; ++i) {
            SQLFreeStmt(statement.handle, SQL_CLOSE);
            outcome.code = SQLExecute(statement.handle);
        }
    }
    outcome.diagnostics = Diagnostics(SQL_HANDLE_STMT, statement.handle);
    if (!SQL_SUCCEEDED(outcome.code) || rows == nullptr)
        return outcome;
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement.handle, &columns);
    while (SQL_SUCCEEDED(SQLFetch(statement.handle))) {
        std::vector<std::string> row;
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            char value[1024] = {};
            SQLLEN length = 0;
            SQLGetData(statement.handle, column, SQL_C_CHAR, value, sizeof value, &length);
            row.emplace_back(length == SQL_NULL_DATA ? "NULL" : value);
        }
        rows->push_back(std::move(row));
    }
    return outcome;
}

}  // namespace tallyrun::testing
