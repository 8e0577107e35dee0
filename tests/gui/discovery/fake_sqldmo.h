// Scripted SQL management objects for the list-button tests: they answer what the test sets and count what the
// window does with them.
#pragma once

#include "platform/core/sqldmo.h"
#include "platform/sqldmo/database_list.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tallyrun::testing {

struct SqldmoScript {
    // Application: what ListAvailableSQLServers hands back (raising is allowed).
    std::function<std::unique_ptr<sqldmo::Object>()> listServers;
    // Server: which calls fail, and the catalog it reports.
    std::optional<Error> createServerError;
    std::optional<Error> connectError;
    std::optional<Error> databasesError;
    std::optional<Error> disconnectError;
    std::vector<sqldmo::DatabaseEntry> catalog;
    // Called as the server connects, so a test can look at the window while the call blocks.
    std::function<void()> onConnect;

    // What the window did.
    int serversCreated = 0;
    int serversDestroyed = 0;
    int disconnects = 0;
    std::vector<std::string> connectedTo;
    bool loginSecureAtConnect = false;
};

// A name list of the given names.
std::unique_ptr<sqldmo::Object> Names(std::vector<std::string> names);
// An object that is not a name list.
std::unique_ptr<sqldmo::Object> NotANameList();

class FakeObjectFactory : public sqldmo::ObjectFactory {
public:
    explicit FakeObjectFactory(SqldmoScript& script) : m_script(script) {}
    std::unique_ptr<sqldmo::Object> CreateObject(std::string_view progId) override;

private:
    SqldmoScript& m_script;
};

}  // namespace tallyrun::testing
