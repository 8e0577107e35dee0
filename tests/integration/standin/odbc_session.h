// A minimal ODBC client for the stand-in's tests: connects through the real FreeTDS driver with a trusted
// connection and runs one statement, collecting rows and diagnostics.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sql.h>

namespace tallyrun::testing {

inline const std::string FreeTdsDriver = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

struct Diagnostic {
    std::string state;
    long native = 0;
    std::string text;
};

struct Outcome {
    SQLRETURN code = SQL_ERROR;
    std::vector<Diagnostic> diagnostics;
};

class OdbcSession {
public:
    // `server` as the user types it, e.g. "127.0.0.1,1433"; `loginTimeoutSeconds` 0 leaves the driver's default.
    explicit OdbcSession(std::string server, int loginTimeoutSeconds = 0);
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    Outcome Connect();
    // Runs `sql` with SQLExecDirect, or prepares it and runs it `executions` times with SQLExecute, binding
    // `parameters` as text to its markers. Collects every row of the last first result set, as UTF-8 text.
    Outcome Execute(const std::string& sql, std::vector<std::vector<std::string>>* rows = nullptr,
                    std::vector<std::string> parameters = {}, int executions = 0);

private:
    std::string m_server;
    int m_loginTimeout;
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_connected = false;
};

}  // namespace tallyrun::testing
