// The factory of the real SQL management objects, and the settings the objects it makes work with.
#pragma once

#include "platform/core/sqldmo.h"
#include "platform/sqldmo/application.h"
#include "platform/sqldmo/server.h"

namespace tallyrun::sqldmo {

// The instances answering the resolution protocol at this computer's standard listing targets.
std::vector<std::string> StandardServerListing();

struct SystemObjectSettings {
    ServerListing serverListing = StandardServerListing;
    ServerSettings server;
};

class SystemObjectFactory : public ObjectFactory {
public:
    SystemObjectFactory() = default;
    explicit SystemObjectFactory(SystemObjectSettings settings);

    // ProgIDs are matched whatever their case; any other raises errc::CannotCreateObject.
    std::unique_ptr<Object> CreateObject(std::string_view progId) override;

private:
    SystemObjectSettings m_settings;
};

}  // namespace tallyrun::sqldmo
