#include "sqlclient/net/tcp_probe.h"

#include "platform/core/error.h"

#include "sqlclient/net/tcp_connect.h"

namespace tallyrun::odbc {

std::optional<std::string> ProbeTcp(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                    const AddressLookup& lookup)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string service = std::to_string(port);
    AddressList addresses;
    try {
        addresses = StreamAddresses(host, port, timeout, lookup);
    } catch (const Error& error) {
        return error.Description();
    }

    int firstError = 0;
    for (const addrinfo* address = addresses.First(); address; address = address->ai_next) {
        net::OwnedSocket connected(net::NoSocket);
        const int error = ConnectWithin(*address, deadline, connected);
        if (error == 0)
            return std::nullopt;
        if (firstError == 0)
            firstError = error;
    }
    const std::string where = host + " port " + service;
    if (firstError == net::ConnectionRefused)
        return "The connection to " + where
               + " was refused: nothing listens there. Check that SQL Server runs and listens on that port.";
    if (firstError == net::TimedOut)
        return "Nothing at " + where + " answered a TCP connection.";
    return "No TCP connection could be made to " + where + " (" + net::SocketErrorText(firstError) + ").";
}

}  // namespace tallyrun::odbc
