#include "base/system_message.h"

#include <cerrno>
#include <system_error>

namespace tallyrun {

// The C library's text, through the thread-safe call.
std::string SystemMessage(long code)
{
    return std::generic_category().message(static_cast<int>(code));
}

Error LastSystemError(const std::string& what)
{
    return SystemError(errno, what);
}

}  // namespace tallyrun
