// The browser's socket stays ours: a program started while a listing runs must not inherit it.
#include "sqlclient/ssrp/udp_socket.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <filesystem>

namespace tallyrun::ssrp {
namespace {

namespace fs = std::filesystem;

TEST(UdpSocket, IsClosedOnExec)
{
    const UdpSocket socket(Endpoint{*ParseIpv4("127.0.0.1"), 0});
    int sockets = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error).string().rfind("socket:", 0) != 0)
            continue;
        ++sockets;
        const int fd = std::stoi(entry.path().filename().string());
        EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC) << "socket descriptor " << fd << " would pass to a child";
    }
    EXPECT_EQ(sockets, 1);
}

}  // namespace
}  // namespace tallyrun::ssrp
