// The server object: one trusted connection to a SQL Server through ODBC, and the catalog of its databases.
#pragma once

#include "platform/core/sqldmo.h"
#include "sqlclient/odbc/driver.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tallyrun::odbc {
class Session;
}

namespace tallyrun::sqldmo {

struct ServerSettings {
    std::optional<odbc::Driver> driver;     // none: the installed SQL Server driver
    std::chrono::seconds loginTimeout{15};  // bounds how long Connect blocks the caller
    std::chrono::seconds queryTimeout{30};  // bounds the database list on a server that logs in but then stalls
};

// The one batch that lists a server's databases, each with whether the server counts it among its own:
// the four built-in ones and a replication distribution database.
extern const std::string_view DatabaseCatalogQuery;

class SystemServer : public SQLServer {
public:
    explicit SystemServer(ServerSettings settings);
    ~SystemServer() override;

    void SetLoginSecure(bool secure) override { m_loginSecure = secure; }
    bool LoginSecure() const override { return m_loginSecure; }
    // Raises the driver's error when the login fails, and ours for a malformed name, a second connection, or a
    // login that is not trusted (this object holds no login name or password).
    void Connect(const std::string& serverName) override;
    // The whole list, fetched by one query when asked; raises when not connected.
    std::unique_ptr<Databases> GetDatabases() override;
    void Disconnect() override;

private:
    ServerSettings m_settings;
    bool m_loginSecure = false;
    std::unique_ptr<odbc::Session> m_session;
};

}  // namespace tallyrun::sqldmo
