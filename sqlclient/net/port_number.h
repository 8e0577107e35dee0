// A TCP or UDP port as people and the SQL Server Browser write it: decimal digits only, 1 to 65535.
#pragma once

#include "base/ascii.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyrun {

inline std::optional<std::uint16_t> ParsePortNumber(std::string_view text)
{
    if (text.empty() || text.size() > 5 || !std::ranges::all_of(text, IsAsciiDigit))
        return std::nullopt;
    unsigned value = 0;
    for (char c : text)
        value = value * 10 + static_cast<unsigned>(c - '0');
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace tallyrun
