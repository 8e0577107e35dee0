// Everything the windows reach outside themselves, handed to them in one bundle.
#pragma once

#include "platform/core/launcher.h"
#include "platform/core/process_query.h"
#include "platform/core/sqldmo.h"

namespace tallyrun {

namespace ui {
class Toolkit;
}

struct Platform {
    sqldmo::ObjectFactory& objects;
    Launcher& launcher;
    ProcessQuery& processes;
    ui::Toolkit& toolkit;
};

}  // namespace tallyrun
