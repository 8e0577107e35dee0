// A thread that acts when a call runs past its time: it bounds a wait the caller cannot end from inside the call.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace tallyrun::odbc {

class CallWatchdog {
public:
    using Clock = std::chrono::steady_clock;

    // `overrun` runs on the watchdog's thread, at most once for each armed call, when that call is still
    // running `limit` after it was armed.
    CallWatchdog(Clock::duration limit, std::function<void()> overrun);
    ~CallWatchdog();  // stops the thread and waits for it
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    // Watches one call for as long as it lives.
    class Guard {
    public:
        Guard() = default;  // watches nothing
        explicit Guard(CallWatchdog* watchdog) : m_watchdog(watchdog) {}
        ~Guard();
        Guard(Guard&& other) noexcept : m_watchdog(std::exchange(other.m_watchdog, nullptr)) {}
        Guard& operator=(Guard&&) = delete;

    private:
        CallWatchdog* m_watchdog = nullptr;
    };

    [[nodiscard]] Guard Arm();
    bool Fired() const;  // `overrun` has run for the call armed last

private:
    void Disarm();
    void Watch();

    const Clock::duration m_limit;
    const std::function<void()> m_overrun;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_armed = false;
    bool m_fired = false;
    bool m_stopping = false;
    Clock::time_point m_deadline;
    Clock::time_point m_sleepsUntil = Clock::time_point::max();
    std::thread m_thread;  // started by the first call armed: most sessions never need it
};

}  // namespace tallyrun::odbc
