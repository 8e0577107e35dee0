#include "platform/sqldmo/system_objects.h"

#include "sqlclient/ssrp/listing.h"
#include "sqlclient/ssrp/targets.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace tallyrun::sqldmo {

namespace {

bool SameProgId(std::string_view left, std::string_view right)
{
    return std::ranges::equal(left, right, [](unsigned char a, unsigned char b) {
        return std::tolower(a) == std::tolower(b);
    });
}

}  // namespace

std::vector<std::string> StandardServerListing()
{
    return ssrp::ListInstances(ssrp::DefaultTargets());
}

SystemObjectFactory::SystemObjectFactory(SystemObjectSettings settings) : m_settings(std::move(settings)) {}

std::unique_ptr<Object> SystemObjectFactory::CreateObject(std::string_view progId)
{
    if (SameProgId(progId, ApplicationProgId))
        return std::make_unique<SystemApplication>(m_settings.serverListing);
    if (SameProgId(progId, ServerProgId))
        return std::make_unique<SystemServer>(m_settings.server);
    throw Error(errc::CannotCreateObject,
                "Cannot create the object \"" + std::string(progId) + "\": no such object is available");
}

}  // namespace tallyrun::sqldmo
