// The composition root: the real system's services and the Qt toolkit, wired into the bundle the windows take.
#pragma once

#include "platform/core/platform.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/sqldmo/system_objects.h"

namespace tallyrun {

// Alive for the whole programme, once the application object exists.
class SystemPlatform {
public:
    SystemPlatform() = default;
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    Platform& Get() { return m_platform; }

private:
    sqldmo::SystemObjectFactory m_objects;
    QtScreen m_screen;
    QtToolkit m_toolkit{m_screen};
    SystemLauncher m_launcher;
    SystemProcessQuery m_processes{m_launcher};
    Platform m_platform{m_objects, m_launcher, m_processes, m_toolkit};
};

}  // namespace tallyrun
