#include "platform/sqldmo/database_list.h"

#include <limits>
#include <utility>

namespace tallyrun::sqldmo {

namespace {

class ListedDatabase : public Database {
public:
    explicit ListedDatabase(DatabaseEntry entry) : m_entry(std::move(entry)) {}
    std::string Name() const override { return m_entry.name; }
    bool SystemObject() const override { return m_entry.system; }

private:
    DatabaseEntry m_entry;
};

}  // namespace

DatabaseList::DatabaseList(std::vector<DatabaseEntry> entries) : m_entries(std::move(entries))
{
    if (m_entries.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error(errc::Overflow, "Too many databases to list");
}

std::int32_t DatabaseList::Count() const
{
    return static_cast<std::int32_t>(m_entries.size());
}

std::unique_ptr<Database> DatabaseList::Item(std::int32_t index) const
{
    if (index < 1 || index > Count())
        throw Error(errc::InvalidArgument, "The server has no database number " + std::to_string(index) +
                                               " (it has " + std::to_string(Count()) + ")");
    return std::make_unique<ListedDatabase>(m_entries[static_cast<std::size_t>(index - 1)]);
}

}  // namespace tallyrun::sqldmo
