#include "platform/sqldmo/system_objects.h"

#include "base/ascii.h"
#include "sqlclient/ssrp/listing.h"
#include "sqlclient/ssrp/targets.h"

#include <utility>

namespace tallyrun::sqldmo {

std::vector<std::string> StandardServerListing()
{
    return ssrp::ListInstances(ssrp::DefaultTargets());
}

SystemObjectFactory::SystemObjectFactory(SystemObjectSettings settings) : m_settings(std::move(settings)) {}

std::unique_ptr<Object> SystemObjectFactory::CreateObject(std::string_view progId)
{
    if (EqualsIgnoringAsciiCase(progId, ApplicationProgId))
        return std::make_unique<SystemApplication>(m_settings.serverListing);
    if (EqualsIgnoringAsciiCase(progId, ServerProgId))
        return std::make_unique<SystemServer>(m_settings.server);
    throw Error(errc::CannotCreateObject,
                "Cannot create the object \"" + std::string(progId) + "\": no such object is available");
}

}  // namespace tallyrun::sqldmo
