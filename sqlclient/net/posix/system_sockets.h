// The system's sockets as the client uses them, on POSIX systems. Its Windows twin has the same names; CMake puts
// the one for the target on the include path.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tallyrun::net {

using NativeSocket = int;
inline constexpr NativeSocket NoSocket = -1;
using PollEntry = pollfd;

inline constexpr int CloseOnExec = SOCK_CLOEXEC;  // a program started meanwhile must not keep the socket
inline constexpr int NoSignal = MSG_NOSIGNAL;  // a peer that has gone must not end the program with SIGPIPE
inline constexpr int ConnectionRefused = ECONNREFUSED;
inline constexpr int TimedOut = ETIMEDOUT;

inline void StartSockets() {}
inline int LastSocketError() { return errno; }
inline void CloseSocket(NativeSocket socket) { ::close(socket); }
inline int PollSockets(PollEntry* entries, unsigned long count, int timeoutMs) { return ::poll(entries, count, timeoutMs); }
inline bool SetNonBlocking(NativeSocket socket) { return ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK) == 0; }
inline bool IsConnectPending(int code) { return code == EINPROGRESS; }
inline bool IsInterrupted(int code) { return code == EINTR; }
// A fault of one datagram (a port-unreachable echo, an interrupted wait), after which the socket still works.
inline bool IsTransientDatagramError(int code)
{
    return code == ECONNREFUSED || code == EINTR || code == EAGAIN || code == EWOULDBLOCK;
}
inline std::string SocketErrorText(int code) { return std::strerror(code); }

}  // namespace tallyrun::net
