// A list of names held in memory: what the application object hands back for the server listing.
#pragma once

#include "platform/core/sqldmo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tallyrun::sqldmo {

class StringNameList : public NameList {
public:
    // Raises errc::Overflow when there are more names than a 32-bit count can hold.
    explicit StringNameList(std::vector<std::string> names);

    std::int32_t Count() const override;
    // Raises errc::InvalidArgument for an index outside 1..Count.
    std::string Item(std::int32_t index) const override;

private:
    std::vector<std::string> m_names;
};

}  // namespace tallyrun::sqldmo
