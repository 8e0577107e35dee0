// The system's own description of a Windows error code, as the errors we raise carry it.
#pragma once

#include "base/error.h"

#include <string>

namespace tallyrun {

// Without the trailing line break; "system error N." when the system has no text for the code.
std::string SystemMessage(unsigned long code);

// The calling thread's last error code as an Error: that number, and `what` followed by the system's description.
Error LastSystemError(const std::string& what);

}  // namespace tallyrun
