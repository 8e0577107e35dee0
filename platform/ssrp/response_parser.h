// Reads one SVR_RESP datagram into the names of the instances it announces. A pure function over untrusted bytes:
// it never throws on content and never reads outside the span, so a fuzzer can drive it directly.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tallyrun::ssrp {

// The names in the datagram's order, written as ListedName writes them. A datagram that breaks the format
// anywhere (another first byte, a size field that disagrees with the datagram's length, a record cut short, out of
// order or not closed by ";;") gives nothing; a well-formed record whose names are unacceptable is skipped alone.
// Names come from the first MaxRecordsPerResponse records only.
std::vector<std::string> ParseResponse(std::span<const std::uint8_t> datagram);

}  // namespace tallyrun::ssrp
