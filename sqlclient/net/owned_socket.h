// A socket of the system's that is closed when its owner goes away, on any system the client runs on.
#pragma once

#include "system_sockets.h"

#include <utility>

namespace tallyrun::net {

class OwnedSocket {
public:
    explicit OwnedSocket(NativeSocket socket) noexcept : m_socket(socket) {}
    OwnedSocket(OwnedSocket&& other) noexcept : m_socket(std::exchange(other.m_socket, NoSocket)) {}
    OwnedSocket& operator=(OwnedSocket&& other) noexcept
    {
        std::swap(m_socket, other.m_socket);
        return *this;
    }
    OwnedSocket(const OwnedSocket&) = delete;
    OwnedSocket& operator=(const OwnedSocket&) = delete;
    ~OwnedSocket()
    {
        if (m_socket != NoSocket)
            CloseSocket(m_socket);
    }

    NativeSocket Get() const noexcept { return m_socket; }
    explicit operator bool() const noexcept { return m_socket != NoSocket; }

private:
    NativeSocket m_socket;
};

}  // namespace tallyrun::net
