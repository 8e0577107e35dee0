// Server names as administrators type them ("host", "host\instance", "host,port", "tcp:host,port", "(local)"),
// parsed into the parts a driver needs. Pure: it looks nothing up.
#pragma once

#include "platform/core/error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallyrun::odbc {

struct ServerAddress {
    std::string host;                    // "localhost" for each way of naming this machine
    std::string instance;                // empty: the default instance
    std::optional<std::uint16_t> port;   // set only when typed; an explicit port wins over the instance
    bool local = false;                  // typed as "(local)", "." or "localhost"

    bool operator==(const ServerAddress&) const = default;
};

inline constexpr std::uint16_t DefaultPort = 1433;

// The port a driver connects to: the typed one, else the default instance's; none for a named instance without a
// port, whose port the SQL Browser tells.
std::optional<std::uint16_t> KnownPort(const ServerAddress& address);

// Raises tallyrun::Error (errc::InvalidArgument) naming what is wrong, rather than guessing what was meant.
ServerAddress ParseServerName(std::string_view text);

}  // namespace tallyrun::odbc
