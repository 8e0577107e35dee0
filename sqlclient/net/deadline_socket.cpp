#include "sqlclient/net/deadline_socket.h"

#include "base/error.h"
#include "sqlclient/net/tcp_connect.h"

namespace tallyrun::odbc {

DeadlineSocket::DeadlineSocket(const std::string& host, std::uint16_t port, Clock::time_point deadline,
                               const AddressLookup& lookup)
    : m_deadline(deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return;
    AddressList addresses;
    try {
        addresses = StreamAddresses(host, port, left, lookup);
    } catch (const Error&) {
        return;
    }
    for (const addrinfo* address = addresses.First(); address && !m_socket; address = address->ai_next)
        ConnectWithin(*address, deadline, m_socket);
}

bool DeadlineSocket::WaitFor(short events)
{
    const int ready = WaitForSocket(m_socket.Get(), events, m_deadline);
    m_timedOut = ready == 0;
    return ready > 0;
}

bool DeadlineSocket::SendAll(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        if (!WaitFor(POLLOUT))
            return false;
        const auto sent = ::send(m_socket.Get(), reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<int>(bytes.size()), net::NoSignal);
        if (sent <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(sent));
    }
    return true;
}

DeadlineSocket::Receipt DeadlineSocket::Receive(std::vector<std::uint8_t>& into)
{
    if (!WaitFor(POLLIN))
        return m_timedOut ? Receipt::TimedOut : Receipt::Closed;
    char buffer[4096];
    const auto got = ::recv(m_socket.Get(), buffer, sizeof buffer, 0);
    if (got <= 0)
        return Receipt::Closed;
    into.insert(into.end(), buffer, buffer + got);
    return Receipt::Data;
}

}  // namespace tallyrun::odbc
