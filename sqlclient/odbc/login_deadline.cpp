#include "sqlclient/odbc/login_deadline.h"

#include "sqlclient/odbc/driver_socket.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tallyrun::odbc {
namespace {

// How often a cut is tried again while the attempt goes on: the driver may not have connected yet at the deadline
// (its own connect timeout bounds that part), and is cut as soon as it has.
constexpr std::chrono::milliseconds Recheck{50};

// Watches one attempt from its own thread until the attempt ends, whatever way it ends.
class Watch {
public:
    Watch(std::chrono::steady_clock::time_point deadline, std::optional<std::uint16_t> serverPort)
        : m_before(OpenTcpSockets()), m_thread([this, deadline, serverPort] { Run(deadline, serverPort); })
    {
    }

    ~Watch() { Stop(); }

    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // Ends the watch; whether the attempt was still running at the deadline.
    bool Stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        return m_overran;
    }

private:
    void Run(std::chrono::steady_clock::time_point deadline, std::optional<std::uint16_t> serverPort)
    {
        std::unique_lock lock(m_mutex);
        if (m_changed.wait_until(lock, deadline, [this] { return m_done; }))
            return;
        do {
            m_overran = true;
            DriverSocket::OpenedSince(m_before, serverPort).Cut();
        } while (!m_changed.wait_for(lock, Recheck, [this] { return m_done; }));
    }

    const std::set<std::uint64_t> m_before;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    bool m_overran = false;
    std::thread m_thread;  // last: it starts once the rest is there
};

}  // namespace

LoginAttempt AttemptLogin(std::chrono::steady_clock::time_point deadline, std::optional<std::uint16_t> serverPort,
                          const std::function<SQLRETURN()>& connect)
{
    Watch watch(deadline, serverPort);
    const SQLRETURN result = connect();
    return {result, watch.Stop()};
}

}  // namespace tallyrun::odbc
