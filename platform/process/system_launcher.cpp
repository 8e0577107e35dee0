#include "platform/process/system_launcher.h"

#include "platform/core/error.h"

namespace tallyrun {

std::int32_t SystemLauncher::StartHidden(const std::string&, int)
{
    throw Error(errc::InvalidArgument, "not built yet");
}

}  // namespace tallyrun
