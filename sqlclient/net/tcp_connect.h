// Connecting a TCP socket within a deadline, for the probes that ask a server what the driver could not tell.
#pragma once

#include "sqlclient/net/host_lookup.h"
#include "sqlclient/net/owned_socket.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tallyrun::odbc {

// The host's addresses for a TCP connection to `port`, looked up within `timeout`. Raises as LookUpHost.
AddressList StreamAddresses(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                            const AddressLookup& lookup = SystemLookup());

// Waits until `socket` is ready for `events` (poll's) or `deadline` passes: above zero when ready, zero when the
// time ran out, below zero when the wait failed (the system's error in net::LastSocketError).
int WaitForSocket(net::NativeSocket socket, short events, std::chrono::steady_clock::time_point deadline);

// Zero when a non-blocking socket connected to `address` before `deadline` (it is then in `connected`), else the
// system's error that stopped it (net::TimedOut when the time ran out).
int ConnectWithin(const addrinfo& address, std::chrono::steady_clock::time_point deadline, net::OwnedSocket& connected);

}  // namespace tallyrun::odbc
