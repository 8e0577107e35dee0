// The system's own words for its error codes (errno values; on Windows its and Winsock's codes), as the errors we
// raise carry them. Each system defines them in its own file, which CMake picks.
#pragma once

#include "base/error.h"

#include <string>

namespace tallyrun {

// UTF-8, in the system's language, without a final full stop so that it reads inside a sentence; "system error N"
// when the system has no text for the code.
std::string SystemMessage(long code);

// An Error numbered `code`: `what`, a colon and the system's description, as one sentence.
inline Error SystemError(long code, const std::string& what)
{
    return Error(code, what + ": " + SystemMessage(code) + ".");
}

// The same for the calling thread's last error code.
Error LastSystemError(const std::string& what);

}  // namespace tallyrun
