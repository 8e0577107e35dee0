// Everything the windows reach outside themselves, handed to them in one bundle.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/placement_view.h"
#include "platform/core/process_query.h"
#include "platform/core/sqldmo.h"
#include "platform/core/ui_seams.h"

namespace tallyrun {

struct Platform {
    sqldmo::ObjectFactory& objects;
    Screen& screen;
    Launcher& launcher;
    ProcessQuery& processes;
    MessageBoxes& messages;
    DropDown& dropDown;
};

// The real system's platform, alive for the whole programme.
Platform& SystemPlatform();

}  // namespace tallyrun
