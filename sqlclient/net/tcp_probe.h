// Whether anything accepts TCP connections at a host and port, told as the reason when nothing does: drivers
// report a refused connection and an unknown host alike as "server unavailable".
#pragma once

#include "sqlclient/net/host_lookup.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tallyrun::odbc {

// None when some address of the host accepts a connection within `timeout`, the name's lookup included (the
// connection is closed at once).
std::optional<std::string> ProbeTcp(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                    const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
