#include "sqlclient/kerberos/ticket_request.h"

#include "sqlclient/net/bounded_call.h"

#include <profile.h>

#include <memory>

namespace tallyrun::odbc {

using namespace krb5;

namespace {

// Runs on a worker with a context of its own: a context serves one thread, and the thread that waits may have
// given up before the KDC answers.
TicketAnswer AskForServiceTicket(const std::string& servicePrincipal)
{
    Context context;
    if (context.Status() != 0)
        return {context.Status(), "the Kerberos configuration could not be read"};
    Cache cache(context);
    Principal client(context);
    Principal service(context);
    krb5_error_code code = krb5_cc_default(context.Get(), cache.Out());
    if (code == 0)
        code = krb5_cc_get_principal(context.Get(), cache.Get(), client.Out());
    if (code == 0)
        code = krb5_parse_name(context.Get(), servicePrincipal.c_str(), service.Out());
    if (code == 0) {
        CredentialContents request(context);
        request.Get()->client = client.Get();
        request.Get()->server = service.Get();
        Credentials ticket(context);
        code = krb5_get_credentials(context.Get(), 0, cache.Get(), request.Get(), ticket.Out());
        request.Get()->client = nullptr;  // borrowed: owned by `client` and `service`
        request.Get()->server = nullptr;
    }
    return {code, code != 0 ? context.Message(code) : std::string()};
}

struct ProfileRelease {
    void operator()(profile_t profile) const noexcept { profile_release(profile); }
};

struct ValueListFree {
    void operator()(char** values) const noexcept { profile_free_list(values); }
};

}  // namespace

std::string KdcsOf(const Context& context, const std::string& realm)
{
    profile_t raw = nullptr;
    if (krb5_get_profile(context.Get(), &raw) != 0)
        return "KDC for realm " + realm;
    const std::unique_ptr<_profile_t, ProfileRelease> profile(raw);
    const char* names[] = {"realms", realm.c_str(), "kdc", nullptr};
    char** values = nullptr;
    if (profile_get_values(profile.get(), names, &values) != 0)
        return "KDC for realm " + realm;
    const std::unique_ptr<char*, ValueListFree> list(values);
    std::string servers;
    int count = 0;
    for (char** value = list.get(); *value; ++value, ++count)
        servers += (count ? ", " : "") + std::string(*value);
    return std::string(count == 1 ? "KDC" : "KDCs") + " for realm " + realm + " (" + servers + ")";
}

std::optional<TicketAnswer> RequestServiceTicket(const std::string& servicePrincipal, std::chrono::milliseconds timeout)
{
    return CallWithDeadline([servicePrincipal] { return AskForServiceTicket(servicePrincipal); },
                            std::chrono::steady_clock::now() + timeout);
}

}  // namespace tallyrun::odbc
