// How the TLS inspection tests look at a server: in this process, or through the Windows build's inspecting
// program under Wine when the Windows build's test list passes the emulator's words and its path.
#pragma once

#include "inspection_seen.h"

#include "sqlclient/tls/tls_inspection.h"

#include <cstdint>
#include <string>

namespace tallyrun::testing {

bool UnderWine();
Seen Inspect(const std::string& host, std::uint16_t port, odbc::TlsStart start);

}  // namespace tallyrun::testing
