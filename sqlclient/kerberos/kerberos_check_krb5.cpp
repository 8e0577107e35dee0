#include "sqlclient/kerberos/kerberos_check.h"

#include "platform/core/error.h"
#include "sqlclient/kerberos/krb5_handles.h"
#include "sqlclient/net/seconds_text.h"
#include "sqlclient/kerberos/ticket_request.h"

#include <netdb.h>

#include <ctime>

namespace tallyrun::odbc {

using namespace krb5;

namespace {

std::string Unparse(const Context& context, krb5_const_principal principal)
{
    char* name = nullptr;
    if (krb5_unparse_name(context.Get(), principal, &name) != 0)
        return "(unreadable principal)";
    std::string text = name;
    krb5_free_unparsed_name(context.Get(), name);
    return text;
}

std::string CacheName(const Context& context, krb5_ccache cache)
{
    char* name = nullptr;
    if (krb5_cc_get_full_name(context.Get(), cache, &name) != 0)
        return "(unnamed)";
    std::string text = name;
    krb5_free_string(context.Get(), name);
    return text;
}

std::string LocalTime(krb5_timestamp when)
{
    // Kerberos timestamps are unsigned 32-bit seconds in practice (they pass 2038).
    const std::time_t seconds = static_cast<std::time_t>(static_cast<std::uint32_t>(when));
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool Expired(krb5_timestamp end)
{
    return static_cast<std::uint32_t>(end) <= static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace

std::string PrincipalHost(const std::string& host, std::chrono::milliseconds timeout, const AddressLookup& lookup)
{
    std::string name = host;
    if (host.find('.') == std::string::npos) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_flags = AI_V4MAPPED | AI_ADDRCONFIG | AI_CANONNAME;
        try {
            const AddressList found = LookUpHost(host, {}, hints, timeout, lookup);
            if (found.First() && found.First()->ai_canonname
                && std::string(found.First()->ai_canonname).find('.') != std::string::npos)
                name = found.First()->ai_canonname;
        } catch (const Error& error) {
            if (error.Number() != errc::HostNotFound)
                throw;
        }
    }
    return name;
}

std::optional<std::string> FindKerberosProblem(const std::optional<std::string>& servicePrincipal,
                                               std::chrono::milliseconds timeout)
{
    Context context;
    if (context.Status() != 0)
        return "Kerberos cannot be used here: its configuration could not be read (error "
               + std::to_string(context.Status()) + ").";

    Cache cache(context);
    if (const auto code = krb5_cc_default(context.Get(), cache.Out()))
        return "There is no Kerberos credential cache (" + context.Message(code) + "). Run kinit to get a ticket.";

    Principal client(context);
    if (const auto code = krb5_cc_get_principal(context.Get(), cache.Get(), client.Out()))
        return "There is no Kerberos ticket in " + CacheName(context, cache.Get()) + " (" + context.Message(code)
               + "). Run kinit to get one.";
    const std::string clientName = Unparse(context, client.Get());

    // The ticket-granting ticket of the client's own realm: every service ticket is bought with it.
    const krb5_data* realm = krb5_princ_realm(context.Get(), client.Get());
    Principal tgs(context);
    if (krb5_build_principal_ext(context.Get(), tgs.Out(), realm->length, realm->data, KRB5_TGS_NAME_SIZE,
                                 KRB5_TGS_NAME, realm->length, realm->data, 0)
        == 0) {
        CredentialContents match(context);
        match.Get()->client = client.Get();
        match.Get()->server = tgs.Get();
        CredentialContents tgt(context);
        const auto code = krb5_cc_retrieve_cred(context.Get(), cache.Get(), 0, match.Get(), tgt.Get());
        match.Get()->client = nullptr;  // borrowed: owned by `client` and `tgs`
        match.Get()->server = nullptr;
        if (code != 0)
            return "The Kerberos cache " + CacheName(context, cache.Get()) + " holds no ticket-granting ticket for "
                   + clientName + ". Run kinit to get one.";
        if (Expired(tgt.Get()->times.endtime))
            return "The Kerberos ticket of " + clientName + " expired at " + LocalTime(tgt.Get()->times.endtime)
                   + ". Run kinit to renew it.";
    }

    if (!servicePrincipal)
        return std::nullopt;

    Principal service(context);
    if (const auto code = krb5_parse_name(context.Get(), servicePrincipal->c_str(), service.Out()))
        return "The service principal " + *servicePrincipal + " is not a valid Kerberos name ("
               + context.Message(code) + ").";
    const std::string serviceName = Unparse(context, service.Get());

    const auto answer = RequestServiceTicket(*servicePrincipal, timeout);
    if (!answer)
        throw Error(errc::KdcDidNotAnswer, "The Kerberos " + KdcsOf(context, std::string(realm->data, realm->length))
                                         + " did not answer within " + SecondsText(timeout)
                                         + ", so there is no ticket for " + serviceName + ".");
    switch (answer->code) {
    case 0:
        return std::nullopt;
    case KRB5KDC_ERR_S_PRINCIPAL_UNKNOWN:
        return "The Kerberos KDC does not know the service principal " + serviceName
               + ": register that SPN for the SQL Server's service account (on Windows: setspn -S).";
    case KRB5KRB_AP_ERR_TKT_EXPIRED:
        return "The Kerberos ticket of " + clientName + " has expired. Run kinit to renew it.";
    case KRB5_KDC_UNREACH:
        return "No Kerberos KDC could be reached to get a ticket for " + serviceName + " (" + answer->message + ").";
    default:
        return "Kerberos could not get a ticket for " + serviceName + ": " + answer->message + ".";
    }
}

}  // namespace tallyrun::odbc
