// A server's databases as one catalog query returned them, walked in that order.
#pragma once

#include "platform/core/sqldmo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tallyrun::sqldmo {

struct DatabaseEntry {
    std::string name;     // UTF-8
    bool system = false;  // one of the server's own databases
};

class DatabaseList : public Databases {
public:
    // Raises errc::Overflow when there are more databases than a 32-bit count can hold.
    explicit DatabaseList(std::vector<DatabaseEntry> entries);

    std::int32_t Count() const override;
    // Raises errc::InvalidArgument for an index outside 1..Count.
    std::unique_ptr<Database> Item(std::int32_t index) const override;

private:
    std::vector<DatabaseEntry> m_entries;
};

}  // namespace tallyrun::sqldmo
