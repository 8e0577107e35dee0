// This computer's IPv4 interface addresses, as the operating system reports them.
#pragma once

#include "sqlclient/ssrp/targets.h"

#include <vector>

namespace tallyrun::ssrp {

// Empty when the system cannot say; the limited broadcast still reaches the local segment then.
std::vector<Ipv4Interface> LocalIpv4Interfaces();

}  // namespace tallyrun::ssrp
