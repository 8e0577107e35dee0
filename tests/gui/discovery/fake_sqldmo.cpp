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

class BrokenDatabases : public sqldmo::DatabaseList {
public:
    BrokenDatabases(std::vector<sqldmo::DatabaseEntry> entries, Error error)
        : DatabaseList(std::move(entries)), m_error(std::move(error))
    {
    }
    std::int32_t Count() const override { return DatabaseList::Count() + 1; }
    std::unique_ptr<sqldmo::Database> Item(std::int32_t index) const override
    {
        if (index == Count())
            throw m_error;
        return DatabaseList::Item(index);
    }

private:
    Error m_error;
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
        if (m_script.walkError)
            return std::make_unique<BrokenDatabases>(m_script.catalog, *m_script.walkError);
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

class FailingNames : public sqldmo::StringNameList {
public:
    FailingNames(std::vector<std::string> names, std::int32_t count, Error error)
        : StringNameList(std::move(names)), m_count(count), m_error(std::move(error))
    {
    }
    std::int32_t Count() const override { return m_count; }
    std::string Item(std::int32_t index) const override
    {
        if (index > StringNameList::Count())
            throw m_error;
        return StringNameList::Item(index);
    }

private:
    std::int32_t m_count;
    Error m_error;
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

std::unique_ptr<sqldmo::Object> NamesFailingAfter(std::vector<std::string> names, std::int32_t count, Error error)
{
    return std::make_unique<FailingNames>(std::move(names), count, std::move(error));
}

std::unique_ptr<sqldmo::Object> NotANameList()
{
    return std::make_unique<Other>();
}

std::unique_ptr<sqldmo::Object> MakeScripted(SqldmoScript& script, std::string_view progId)
{
    if (progId == sqldmo::ApplicationProgId)
        return std::make_unique<FakeApplication>(script);
    if (progId == sqldmo::ServerProgId) {
        if (script.createServerError)
            throw *script.createServerError;
        return std::make_unique<FakeServer>(script);
    }
    throw Error(errc::CannotCreateObject, "No fake for " + std::string(progId));
}

}  // namespace tallyrun::testing
