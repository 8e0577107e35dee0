// Host-name lookups with a bound, so that a resolver that does not answer cannot hold a login past its timeout.
// getaddrinfo cannot be interrupted: it runs on a worker, which a wait that runs out of time leaves behind.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct addrinfo;

namespace tallyrun::odbc {

// The list getaddrinfo gives, freed with it.
class AddressList {
public:
    AddressList() = default;
    explicit AddressList(addrinfo* list) noexcept : m_list(list) {}
    const addrinfo* First() const noexcept { return m_list.get(); }

private:
    struct Free {
        void operator()(addrinfo* list) const noexcept;
    };
    std::unique_ptr<addrinfo, Free> m_list;
};

// getaddrinfo's shape, so that a test can put a resolver of its own in its place. It may be called on another
// thread and outlive the lookup that called it.
using AddressLookup = std::function<int(const char* host, const char* service, const addrinfo* hints,
                                        addrinfo** found)>;

// The system's getaddrinfo.
const AddressLookup& SystemLookup();

// The addresses of `host` (and `service`, when not empty) for `hints`, within `timeout`. Raises
// Error(errc::HostNotFound) with the resolver's reason, or Error(errc::HostLookupTimedOut) when the time ran out first.
AddressList LookUpHost(const std::string& host, const std::string& service, const addrinfo& hints,
                       std::chrono::milliseconds timeout, const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
