#include "sqlclient/net/tcp_connect.h"

namespace tallyrun::odbc {

int WaitForSocket(net::NativeSocket socket, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return 0;
        net::PollEntry wait{};
        wait.fd = socket;
        wait.events = events;
        const int ready = net::PollSockets(&wait, 1, static_cast<int>(left.count()));
        if (ready >= 0 || !net::IsInterrupted(net::LastSocketError()))
            return ready;
    }
}

int ConnectWithin(const addrinfo& address, std::chrono::steady_clock::time_point deadline, net::OwnedSocket& connected)
{
    net::OwnedSocket socket(::socket(address.ai_family, address.ai_socktype | net::CloseOnExec, address.ai_protocol));
    if (!socket || !net::SetNonBlocking(socket.Get()))
        return net::LastSocketError();
    if (::connect(socket.Get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) {
        connected = std::move(socket);
        return 0;
    }
    if (const int code = net::LastSocketError(); !net::IsConnectPending(code))
        return code;
    const int ready = WaitForSocket(socket.Get(), POLLOUT, deadline);
    if (ready < 0)
        return net::LastSocketError();
    if (ready == 0)
        return net::TimedOut;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return net::LastSocketError();
    if (error == 0)
        connected = std::move(socket);
    return error;
}

AddressList StreamAddresses(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                            const AddressLookup& lookup)
{
    net::StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    return LookUpHost(host, std::to_string(port), hints, timeout, lookup);
}

}  // namespace tallyrun::odbc
