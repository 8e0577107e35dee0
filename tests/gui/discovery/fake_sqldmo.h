// Scripted SQL management objects for the list-button tests: they answer what the test sets and count what the
// window does with them.
#pragma once

#include "platform/core/sqldmo.h"
#include "platform/sqldmo/database_list.h"

#include <cstdint>
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
    std::optional<Error> walkError;  // raised by the database after the last of `catalog`
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
// A name list that claims `count` names but raises when asked for any past those given.
std::unique_ptr<sqldmo::Object> NamesFailingAfter(std::vector<std::string> names, std::int32_t count, Error error);
// An object that is not a name list.
std::unique_ptr<sqldmo::Object> NotANameList();

// Makes the scripted application or server object for the ProgID; for the fake platform's factory.
std::unique_ptr<sqldmo::Object> MakeScripted(SqldmoScript& script, std::string_view progId);

}  // namespace tallyrun::testing
