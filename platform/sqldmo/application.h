// The application object: lists the SQL Server instances that answer on the network.
#pragma once

#include "platform/core/sqldmo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tallyrun::sqldmo {

// Asks the network for instance names ("host" or "host\instance"), in the order they should be listed.
using ServerListing = std::function<std::vector<std::string>()>;

class SystemApplication : public Application {
public:
    explicit SystemApplication(ServerListing listing);

    // A NameList of whatever the listing found; raises what the listing raises.
    std::unique_ptr<Object> ListAvailableSQLServers() override;
    // After Quit the object answers nothing more: listing raises an Error.
    void Quit() override;

private:
    ServerListing m_listing;
    bool m_quit = false;
};

}  // namespace tallyrun::sqldmo
