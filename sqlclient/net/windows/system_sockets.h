// The system's sockets as the client uses them, on Windows (Winsock 2). Its POSIX twin has the same names; CMake
// puts the one for the target on the include path.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <string>

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
inline void CloseSocket(NativeSocket socket) { ::closesocket(socket); }
inline int PollSockets(PollEntry* entries, unsigned long count, int timeoutMs) { return ::WSAPoll(entries, count, timeoutMs); }
inline bool SetNonBlocking(NativeSocket socket)
{
    u_long on = 1;
    return ::ioctlsocket(socket, FIONBIO, &on) == 0;
}
inline bool IsConnectPending(int code) { return code == WSAEWOULDBLOCK; }
inline bool IsInterrupted(int code) { return code == WSAEINTR; }
inline bool IsTransientDatagramError(int code) { return code == WSAECONNRESET || code == WSAEMSGSIZE || code == WSAEINTR; }
inline std::string SocketErrorText(int code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace tallyrun::net
