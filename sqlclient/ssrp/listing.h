// Lists the SQL Server instances that answer the resolution protocol's listing requests: the names a user can pick
// as a server ("host" for a default instance, "host\instance" otherwise).
#pragma once

#include "sqlclient/ssrp/targets.h"

#include <string>
#include <vector>

namespace tallyrun::ssrp {

// Sends each target its request, then gathers answers for as long as `targets.timing` allows. Names keep the order
// in which they first arrived, each appears once whatever its case, and there are at most MaxListedNames. A target
// whose send fails is skipped; when every send fails this raises Error(errc::NoTargetReached) with the last
// system error's text. No answer at all is not an error: the list is then empty.
std::vector<std::string> ListInstances(const Targets& targets);

}  // namespace tallyrun::ssrp
