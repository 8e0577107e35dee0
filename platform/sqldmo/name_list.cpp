#include "platform/sqldmo/name_list.h"

#include <limits>
#include <utility>

namespace tallyrun::sqldmo {

StringNameList::StringNameList(std::vector<std::string> names) : m_names(std::move(names))
{
    if (m_names.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error(errc::Overflow, "Too many names to list");
}

std::int32_t StringNameList::Count() const
{
    return static_cast<std::int32_t>(m_names.size());
}

std::string StringNameList::Item(std::int32_t index) const
{
    if (index < 1 || index > Count())
        throw Error(errc::InvalidArgument,
                    "The list has no item " + std::to_string(index) + " (it holds " + std::to_string(Count()) + ")");
    return m_names[static_cast<std::size_t>(index - 1)];
}

}  // namespace tallyrun::sqldmo
