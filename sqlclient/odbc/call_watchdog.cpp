#include "sqlclient/odbc/call_watchdog.h"

namespace tallyrun::odbc {

CallWatchdog::CallWatchdog(Clock::duration limit, std::function<void()> overrun)
    : m_limit(limit), m_overrun(std::move(overrun))
{
}

CallWatchdog::~CallWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

CallWatchdog::Guard::~Guard()
{
    if (m_watchdog)
        m_watchdog->Disarm();
}

CallWatchdog::Guard CallWatchdog::Arm()
{
    std::lock_guard lock(m_mutex);
    m_deadline = Clock::now() + m_limit;
    m_armed = true;
    m_fired = false;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Watch(); });
    // Calls come by the thousand (one per row); the thread is woken only when it would otherwise sleep past the
    // new deadline, not for every call.
    else if (m_deadline < m_sleepsUntil)
        m_wake.notify_one();
    return Guard(this);
}

bool CallWatchdog::Fired() const
{
    std::lock_guard lock(m_mutex);
    return m_fired;
}

void CallWatchdog::Disarm()
{
    std::lock_guard lock(m_mutex);
    m_armed = false;
}

void CallWatchdog::Watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_armed && Clock::now() >= m_deadline) {
            m_armed = false;
            m_fired = true;
            m_overrun();
            continue;
        }
        m_sleepsUntil = m_armed ? m_deadline : Clock::time_point::max();
        if (m_armed)
            m_wake.wait_until(lock, m_sleepsUntil);
        else
            m_wake.wait(lock);
    }
}

}  // namespace tallyrun::odbc
