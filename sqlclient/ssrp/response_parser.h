// Reads one SVR_RESP datagram into the names of the instances it announces, or into the TCP port of one instance.
// Pure functions over untrusted bytes: they never throw on content and never read outside the span, so a fuzzer can
// drive them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrun::ssrp {

// The names in the datagram's order, written as ListedName writes them. A datagram that breaks the format
// anywhere (another first byte, a size field that disagrees with the datagram's length, a record cut short, out of
// order or not closed by ";;") gives nothing; a well-formed record whose names are unacceptable is skipped alone.
// Names come from the first MaxRecordsPerResponse records only.
std::vector<std::string> ParseResponse(std::span<const std::uint8_t> datagram);

// The TCP port ("tcp;<1..65535>") of the first record whose instance name is `instance` in any case. Nothing when
// the datagram breaks the format anywhere (as above), names only other instances, or gives that instance no port
// or one that is not a number from 1 to 65535.
std::optional<std::uint16_t> ParseInstancePort(std::span<const std::uint8_t> datagram, std::string_view instance);

}  // namespace tallyrun::ssrp
