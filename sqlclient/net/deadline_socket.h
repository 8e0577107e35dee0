// A TCP connection for the probes that ask a server what the driver could not tell, every wait on it bounded by
// one deadline: a server that trickles or stalls ends the exchange when the time does, never later.
#pragma once

#include "sqlclient/net/host_lookup.h"
#include "sqlclient/net/owned_socket.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tallyrun::odbc {

class DeadlineSocket {
public:
    using Clock = std::chrono::steady_clock;

    // Connected to the first of the host's addresses that accepts before `deadline`; empty when none does or the
    // name cannot be looked up in time.
    DeadlineSocket(const std::string& host, std::uint16_t port, Clock::time_point deadline,
                   const AddressLookup& lookup = SystemLookup());

    explicit operator bool() const noexcept { return static_cast<bool>(m_socket); }
    Clock::time_point Deadline() const noexcept { return m_deadline; }

    // False when the peer went away or the time ran out before every byte was sent.
    bool SendAll(std::span<const std::uint8_t> bytes);

    enum class Receipt {
        Data,      // some bytes were added
        Closed,    // the peer closed or reset the connection, or the socket failed
        TimedOut,
    };
    // Adds what arrives next to `into`.
    Receipt Receive(std::vector<std::uint8_t>& into);

private:
    bool WaitFor(short events);

    net::OwnedSocket m_socket;
    Clock::time_point m_deadline;
    bool m_timedOut = false;
};

}  // namespace tallyrun::odbc
