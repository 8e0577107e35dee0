#include "platform/core/platform.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_ui.h"
#include "platform/sqldmo/system_objects.h"

namespace tallyrun {

Platform& SystemPlatform()
{
    static sqldmo::SystemObjectFactory objects;
    static QtScreen screen;
    static SystemLauncher launcher;
    static SystemProcessQuery processes(launcher);
    static QtMessageBoxes messages;
    static QtDropDown dropDown;
    static Platform platform{objects, screen, launcher, processes, messages, dropDown};
    return platform;
}

}  // namespace tallyrun
