#include "sqlclient/net/host_lookup.h"

#include "base/error.h"
#include "sqlclient/net/bounded_call.h"
#include "sqlclient/net/seconds_text.h"
#include "system_sockets.h"

namespace tallyrun::odbc {
namespace {

struct Outcome {
    int code = 0;
    AddressList addresses;
};

}  // namespace

void AddressList::Free::operator()(addrinfo* list) const noexcept
{
    freeaddrinfo(list);
}

const AddressLookup& SystemLookup()
{
    static const AddressLookup lookup = [](const char* host, const char* service, const addrinfo* hints,
                                           addrinfo** found) {
        net::StartSockets();
        return ::getaddrinfo(host, service, hints, found);
    };
    return lookup;
}

AddressList LookUpHost(const std::string& host, const std::string& service, const addrinfo& hints,
                       std::chrono::milliseconds timeout, const AddressLookup& lookup)
{
    // The worker gets copies of everything: it may still run after this returns.
    auto outcome = CallWithDeadline(
        [lookup, host, service, hints] {
            addrinfo* found = nullptr;
            const int code = lookup(host.c_str(), service.empty() ? nullptr : service.c_str(), &hints, &found);
            return Outcome{code, AddressList(code == 0 ? found : nullptr)};
        },
        std::chrono::steady_clock::now() + timeout);
    if (!outcome)
        throw Error(errc::HostLookupTimedOut,
                    "The host name " + host + " could not be resolved within " + SecondsText(timeout) + ".");
    if (outcome->code != 0)
        throw Error(errc::HostNotFound,
                    "The host name " + host + " could not be resolved (" + net::LookupErrorText(outcome->code) + ").");
    return std::move(outcome->addresses);
}

}  // namespace tallyrun::odbc
