// Whether the ODBC driver manager is there to be called: a client without it must say so rather than fail
// in silence.
#pragma once

#include <string>

namespace tallyrun {

class DeferredLibrary;

namespace odbc {

// Why the driver manager cannot be used, for the user; empty when it can.
std::string DriverManagerFailure();
// The same for a driver manager opened as `library` (systems that open it on first use only).
std::string DriverManagerFailure(const DeferredLibrary& library);

}  // namespace odbc
}  // namespace tallyrun
