#include "platform/sqldmo/application.h"

#include "platform/sqldmo/name_list.h"

#include <utility>

namespace tallyrun::sqldmo {

SystemApplication::SystemApplication(ServerListing listing) : m_listing(std::move(listing)) {}

std::unique_ptr<Object> SystemApplication::ListAvailableSQLServers()
{
    if (m_quit)
        throw Error(errc::ObjectRequired, "The SQL management application has been shut down");
    if (!m_listing)
        return std::make_unique<StringNameList>(std::vector<std::string>{});
    return std::make_unique<StringNameList>(m_listing());
}

void SystemApplication::Quit()
{
    m_quit = true;
}

}  // namespace tallyrun::sqldmo
