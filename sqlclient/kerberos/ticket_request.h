// A service ticket asked of the KDC with a bound on the wait, which MIT krb5 before 1.21 has no setting for (its
// own tries at a KDC that keeps silent take about 27 s), and the realm's KDCs named for a message when none answers.
#pragma once

#include "sqlclient/kerberos/krb5_handles.h"

#include <chrono>
#include <optional>
#include <string>

namespace tallyrun::odbc {

struct TicketAnswer {
    krb5_error_code code = 0;
    std::string message;  // the library's, when code is not zero
};

// What the KDCs answered to a request for `servicePrincipal` by the default cache's client, the ticket kept in that
// cache; none when `timeout` ran out first.
std::optional<TicketAnswer> RequestServiceTicket(const std::string& servicePrincipal,
                                                 std::chrono::milliseconds timeout);

// "KDC for realm R (host:port)", the servers as the configuration names them, so that the one that keeps silent
// can be found; without servers in the configuration (found through DNS then) the realm alone.
std::string KdcsOf(const krb5::Context& context, const std::string& realm);

}  // namespace tallyrun::odbc
