// A login attempt held to its deadline as a whole. FreeTDS's login timeout bounds each read, not the login, so a
// server that answers a byte at a time keeps a login for minutes; at the deadline the connection the attempt opened
// is cut, which ends the driver's wait at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "sqlclient/odbc/odbc_api.h"

namespace tallyrun::odbc {

struct LoginAttempt {
    SQLRETURN result;
    bool timedOut;  // the deadline came first, and the connection was cut (or the attempt began too late)
};

// Runs `connect` (one SQLDriverConnect), cutting any TCP connection to `serverPort` (to any port when not known) that
// it opened, should it still run at `deadline`. Where the system does not name a process's sockets (Windows), the
// driver's own login timeout is all that bounds it.
LoginAttempt AttemptLogin(std::chrono::steady_clock::time_point deadline, std::optional<std::uint16_t> serverPort,
                          const std::function<SQLRETURN()>& connect);

}  // namespace tallyrun::odbc
