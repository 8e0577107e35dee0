// The system's sockets as the client uses them, on Windows (Winsock 2). Its POSIX twin has the same names; CMake
// puts the one for the target on the include path.
#pragma once

#include "base/system_message.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>


namespace tallyrun::net {

using NativeSocket = SOCKET;
inline constexpr NativeSocket NoSocket = INVALID_SOCKET;
using PollEntry = WSAPOLLFD;

inline constexpr int CloseOnExec = 0;  // sockets pass to a child only when it asks to inherit handles
inline constexpr int NoSignal = 0;  // Winsock raises no signal on a peer that has gone
inline constexpr int ConnectionRefused = WSAECONNREFUSED;
inline constexpr int TimedOut = WSAETIMEDOUT;

// Winsock serves a process only between WSAStartup and WSACleanup: once, for the whole run.
inline void StartSockets()
{
    struct Session {
        Session() { WSADATA data; started = WSAStartup(MAKEWORD(2, 2), &data) == 0; }
        ~Session() { if (started) WSACleanup(); }
        bool started = false;
    };
    static Session session;
}
inline int LastSocketError() { return WSAGetLastError(); }
inline void CloseSocket(NativeSocket socket) noexcept { ::closesocket(socket); }
inline int PollSockets(PollEntry* entries, unsigned long count, int timeoutMs) { return ::WSAPoll(entries, count, timeoutMs); }
inline bool SetNonBlocking(NativeSocket socket)
{
    u_long on = 1;
    return ::ioctlsocket(socket, FIONBIO, &on) == 0;
}
inline bool IsConnectPending(int code) { return code == WSAEWOULDBLOCK; }
inline bool IsInterrupted(int code) { return code == WSAEINTR; }
inline bool IsTransientDatagramError(int code) { return code == WSAECONNRESET || code == WSAEMSGSIZE || code == WSAEINTR; }
// The resolver's codes are Winsock's; gai_strerror would word them in the ANSI code page.
inline std::string LookupErrorText(int code) { return SystemMessage(code); }

}  // namespace tallyrun::net
