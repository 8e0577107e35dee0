#include "fake_sqldmo.h"

#include "platform/sqldmo/name_list.h"

namespace tallyrun::testing {

namespace {

class FakeApplication : public sqldmo::Application {
public:
    explicit FakeApplication(SqldmoScript& script) : m_script(script) {}
    std::unique_ptr<sqldmo::Object> ListAvailableSQLServers() override
    {
        return m_script.listServers ? m_script.listServers() : Names({});
    }
    void Quit() override {}

private:
    SqldmoScript& m_script;
};

class FakeServer : public sqldmo::SQLServer {
public:
    explicit FakeServer(SqldmoScript& script) : m_script(script) { ++m_script.serversCreated; }
    ~FakeServer() override { ++m_script.serversDestroyed; }

    void SetLoginSecure(bool secure) override { m_secure = secure; }
    bool LoginSecure() const override { return m_secure; }
    void Connect(const std::string& serverName) override
    {
        m_script.connectedTo.push_back(serverName);
        m_script.loginSecureAtConnect = m_secure;
        if (m_script.onConnect)
            m_script.onConnect();
        if (m_script.connectError)
            throw *m_script.connectError;
    }
    std::unique_ptr<sqldmo::Databases> GetDatabases() override
    {
        if (m_script.databasesError)
            throw *m_script.databasesError;
        return std::make_unique<sqldmo::DatabaseList>(m_script.catalog);
    }
    void Disconnect() override
    {
        ++m_script.disconnects;
        if (m_script.disconnectError)
            throw *m_script.disconnectError;
    }

private:
    SqldmoScript& m_script;
    bool m_secure = false;
};

class Other : public sqldmo::Object {
public:
    std::string TypeName() const override { return "Nothing"; }
};

}  // namespace

std::unique_ptr<sqldmo::Object> Names(std::vector<std::string> names)
{
    return std::make_unique<sqldmo::StringNameList>(std::move(names));
}

std::unique_ptr<sqldmo::Object> NotANameList()
{
    return std::make_unique<Other>();
}

std::unique_ptr<sqldmo::Object> FakeObjectFactory::CreateObject(std::string_view progId)
{
    if (progId == sqldmo::ApplicationProgId)
        return std::make_unique<FakeApplication>(m_script);
    if (progId == sqldmo::ServerProgId) {
        if (m_script.createServerError)
            throw *m_script.createServerError;
        return std::make_unique<FakeServer>(m_script);
    }
    throw Error(errc::CannotCreateObject, "No fake for " + std::string(progId));
}

}  // namespace tallyrun::testing
