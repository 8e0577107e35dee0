#include "sqlclient/net/tcp_probe.h"

#include "base/error.h"
#include "base/system_message.h"

#include "sqlclient/net/owned_socket.h"

namespace tallyrun::odbc {
namespace {

// Zero when connected, else the system's error that stopped it (net::TimedOut when the time ran out).
int TryConnect(const addrinfo& address, std::chrono::steady_clock::time_point deadline)
{
    net::OwnedSocket socket(::socket(address.ai_family, address.ai_socktype | net::CloseOnExec, address.ai_protocol));
    if (!socket || !net::SetNonBlocking(socket.Get()))
        return net::LastSocketError();
    if (::connect(socket.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
        return 0;
    if (const int code = net::LastSocketError(); !net::IsConnectPending(code))
        return code;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return net::TimedOut;
        net::PollEntry wait{};
        wait.fd = socket.Get();
        wait.events = POLLOUT;
        const int ready = net::PollSockets(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && net::IsInterrupted(net::LastSocketError()))
            continue;
        if (ready < 0)
            return net::LastSocketError();
        if (ready == 0)
            return net::TimedOut;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
            return net::LastSocketError();
        return error;
    }
}

}  // namespace

std::optional<std::string> ProbeTcp(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                    const AddressLookup& lookup)
{
    net::StartSockets();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    const std::string service = std::to_string(port);
    AddressList addresses;
    try {
        addresses = LookUpHost(host, service, hints, timeout, lookup);
    } catch (const Error& error) {
        return error.Description();
    }

    int firstError = 0;
    for (const addrinfo* address = addresses.First(); address; address = address->ai_next) {
        const int error = TryConnect(*address, deadline);
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
    return "No TCP connection could be made to " + where + " (" + SystemMessage(firstError) + ").";
}

}  // namespace tallyrun::odbc
