// Asks one host's SQL Browser on which TCP port a named instance listens (CLNT_UCAST_INST), within a time bound
// of the caller's: a driver's own lookup may retry for far longer than the login timeout it was given.
#pragma once

#include "sqlclient/ssrp/udp_socket.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyrun::ssrp {

// The port the browser at `browser` names for `instance` (any case), or nothing when no acceptable answer came
// within `timeout`: a browser stays silent about instances it does not know. The request is sent again a few
// times within the bound, as datagrams may be lost; answers from any other address or port, and answers that
// break the format or name another instance, are ignored. Raises Error(errc::SocketFailed) when the socket
// fails, and Error(tallyrun::errc::InvalidArgument) for an instance name the request cannot carry.
std::optional<std::uint16_t> LookupInstancePort(const Endpoint& browser, std::string_view instance,
                                                std::chrono::milliseconds timeout);

}  // namespace tallyrun::ssrp
