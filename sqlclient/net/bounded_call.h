// Calls that cannot be interrupted (a host-name lookup, a KDC request), waited for only until a deadline: the call
// runs on a worker of its own, and a worker left behind finishes on its own time and drops what it got.
#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace tallyrun::odbc {

// What `call` returned, or none when the deadline came first. Whatever `call` uses must be its own (captured by
// value): it may outlive this wait. What it throws is rethrown here.
template <class Call>
auto CallWithDeadline(Call call, std::chrono::steady_clock::time_point deadline)
    -> std::optional<decltype(call())>
{
    using Result = decltype(call());
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
        std::exception_ptr failure;
        bool finished = false;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, call = std::move(call)]() mutable {
        std::optional<Result> result;
        std::exception_ptr failure;
        try {
            result.emplace(call());
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->failure = failure;
        shared->finished = true;
        shared->done.notify_all();
    }).detach();

    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_until(lock, deadline, [&] { return shared->finished; }))
        return std::nullopt;
    if (shared->failure)
        std::rethrow_exception(shared->failure);
    return std::move(shared->result);
}

}  // namespace tallyrun::odbc
