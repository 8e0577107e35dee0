// A login attempt ends at its deadline however slowly the server answers: the connection it made is cut, also one
// made only after the deadline; an attempt that ends in time is left alone.
#include "sqlclient/odbc/login_deadline.h"

#include "loopback.h"

#include <gtest/gtest.h>

#include <thread>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Stands for the driver: connects to the listener after `delay` and waits for an answer that never comes, until
// the connection ends. SQL_ERROR when it was cut; SQL_SUCCESS when it was still open after `patience`.
SQLRETURN WaitForAnAnswer(std::uint16_t port, std::chrono::milliseconds delay, std::chrono::milliseconds patience)
{
    std::this_thread::sleep_for(delay);
    const UniqueFd socket = testing::ConnectedToLoopback(port);
    if (!socket)
        return SQL_INVALID_HANDLE;
    const auto micros = std::chrono::microseconds(patience).count();
    const timeval wait{micros / 1'000'000, static_cast<suseconds_t>(micros % 1'000'000)};
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char byte;
    return ::recv(socket.Get(), &byte, 1, 0) < 0 ? SQL_SUCCESS : SQL_ERROR;
}

TEST(LoginDeadline, CutsTheAttemptsConnectionAtTheDeadlineAndLeavesOneThatEndsInTime)
{
    const UniqueFd listener = testing::BoundToLoopback(SOCK_STREAM);
    ASSERT_EQ(::listen(listener.Get(), 8), 0);
    const std::uint16_t port = testing::LocalPort(listener.Get());
    struct Case {
        const char* what;
        std::chrono::milliseconds connectsAfter;
        std::optional<std::uint16_t> serverPort;
        bool timedOut;
    };
    for (const Case& c : {Case{"connected before the deadline", 0ms, port, true},
                          Case{"connected only after it", 400ms, port, true},
                          Case{"to a port not known", 0ms, std::nullopt, true},
                          Case{"to another port than the server's", 0ms, std::uint16_t(port + 1), true}}) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        const LoginAttempt attempt =
            AttemptLogin(start + 300ms, c.serverPort, [&] { return WaitForAnAnswer(port, c.connectsAfter, 1s); });
        const auto took = Clock::now() - start;
        EXPECT_TRUE(attempt.timedOut);
        // Only the server's own connection is cut: any other is waited out, as the driver would have to.
        const bool cut = c.serverPort != std::uint16_t(port + 1);
        EXPECT_EQ(attempt.result, cut ? SQL_ERROR : SQL_SUCCESS);
        EXPECT_LT(took, cut ? std::max<Clock::duration>(c.connectsAfter, 300ms) + 400ms : 2s);
    }

    const auto start = Clock::now();
    const LoginAttempt inTime = AttemptLogin(start + 3s, port, [&] { return WaitForAnAnswer(port, 0ms, 200ms); });
    EXPECT_FALSE(inTime.timedOut);
    EXPECT_EQ(inTime.result, SQL_SUCCESS) << "an attempt that ended in time was cut";
    EXPECT_LT(Clock::now() - start, 1s) << "the login waited for its deadline after the attempt had ended";
}

}  // namespace
}  // namespace tallyrun::odbc
