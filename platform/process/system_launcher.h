// Starts programs hidden, looking first in the directory of the running executable.
#pragma once

#include "platform/core/launcher.h"

namespace tallyrun {

class SystemLauncher : public Launcher {
public:
    std::int32_t StartHidden(const std::string& commandLine, int windowStyle) override;
};

}  // namespace tallyrun
