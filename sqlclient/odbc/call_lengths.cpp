#include "sqlclient/odbc/call_lengths.h"

#include "sqlclient/odbc/diagnostic.h"
#include "base/unicode.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tallyrun::odbc {

std::int16_t ConnectionStringLength(std::size_t units, const std::vector<NamedValue>& values)
{
    constexpr std::size_t limit = std::numeric_limits<std::int16_t>::max();
    if (units <= limit)
        return static_cast<std::int16_t>(units);
    std::string_view name = "The connection string";
    std::size_t longest = units;
    const auto length = [](const NamedValue& named) { return ToUtf16(named.value, Malformed::Replace).size(); };
    if (const auto it = std::max_element(values.begin(), values.end(),
                                         [&](const NamedValue& a, const NamedValue& b) { return length(a) < length(b); });
        it != values.end()) {
        name = it->name;
        longest = length(*it);
    }
    throw Error(errc::Overflow, std::string(name) + " is too long: " + std::to_string(longest)
                                    + " characters, where the whole connection string can hold no more than "
                                    + std::to_string(limit) + ".");
}

std::int32_t BatchLength(std::size_t units)
{
    constexpr std::size_t limit = std::numeric_limits<std::int32_t>::max();
    if (units > limit)
        throw Error(errc::Overflow, "The batch is too long: " + std::to_string(units)
                                        + " characters, where an ODBC call takes no more than "
                                        + std::to_string(limit) + ".");
    return static_cast<std::int32_t>(units);
}

Piece ReadPiece(long long indicator, long long capacity)
{
    if (indicator == NullData)
        return {true, false, 0};
    // The driver ends what it writes with a terminator, which takes one unit of the buffer.
    const auto room = static_cast<std::size_t>(std::max(capacity / 2 - 1, 0LL));
    if (indicator == NoTotal)
        return {false, true, room};
    if (indicator < 0)
        throw Error(errc::OdbcCallFailed, "The driver gave a length of " + std::to_string(indicator)
                                        + " bytes for a value read from the server, which no value can have.");
    const auto units = static_cast<std::size_t>(indicator / 2);
    return units > room ? Piece{false, true, room} : Piece{false, false, units};
}

}  // namespace tallyrun::odbc
