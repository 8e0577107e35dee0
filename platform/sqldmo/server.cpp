#include "platform/sqldmo/server.h"

#include "sqlclient/odbc/session.h"
#include "platform/sqldmo/database_list.h"

#include <utility>
#include <vector>

namespace tallyrun::sqldmo {

const std::string_view DatabaseCatalogQuery =
    "SELECT name, CAST(CASE WHEN database_id <= 4 OR is_distributor = 1 THEN 1 ELSE 0 END AS bit) AS is_system "
    "FROM sys.databases ORDER BY name";

namespace {

// Our own failures of the server object, numbered apart from the driver's and the server's.
constexpr long NotConnected = 1001;
constexpr long AlreadyConnected = 1002;
constexpr long LoginNotSecure = 1003;
constexpr long UnexpectedCatalog = 1004;

}  // namespace

SystemServer::SystemServer(ServerSettings settings) : m_settings(std::move(settings)) {}

SystemServer::~SystemServer() = default;

void SystemServer::Connect(const std::string& serverName)
{
    if (m_session)
        throw Error(AlreadyConnected, "The server object is already connected: disconnect it first");
    if (!m_loginSecure)
        throw Error(LoginNotSecure,
                    "The server object logs in with the user's own credentials only: set LoginSecure first");
    odbc::ConnectOptions options;
    options.server = serverName;
    options.loginTimeout = m_settings.loginTimeout;
    options.queryTimeout = m_settings.queryTimeout;
    options.driver = m_settings.driver;
    m_session = std::make_unique<odbc::Session>(options);
}

std::unique_ptr<Databases> SystemServer::GetDatabases()
{
    if (!m_session)
        throw Error(NotConnected, "The server object is not connected to a server");
    odbc::QueryResult result;
    try {
        result = odbc::Query(*m_session, DatabaseCatalogQuery);
    } catch (const odbc::QueryTimeout& timeout) {
        throw Error(timeout.Number(), "The server did not answer the database list within " +
                                          std::to_string(timeout.Limit().count()) + " seconds");
    }
    if (result.columns.size() != 2)
        throw Error(UnexpectedCatalog, "The server answered the database list with " +
                                           std::to_string(result.columns.size()) + " columns instead of 2");
    std::vector<DatabaseEntry> entries;
    entries.reserve(result.rows.size());
    for (odbc::Row& row : result.rows)
        entries.push_back({std::move(row[0]).value_or(std::string()), row[1].value_or("0") == "1"});
    return std::make_unique<DatabaseList>(std::move(entries));
}

void SystemServer::Disconnect()
{
    m_session.reset();
}

}  // namespace tallyrun::sqldmo
