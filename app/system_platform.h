// The composition root: the real system's services and a toolkit, wired into the bundle the windows take.
#pragma once

#include "platform/core/platform.h"
#include "platform/process/system_launcher.h"
#include "platform/process/system_process_query.h"
#include "platform/sqldmo/system_objects.h"

namespace tallyrun {

// Alive for the whole programme, once the toolkit's application object exists. `ToolkitScreen` is the toolkit's
// screen and `ToolkitType` its toolkit, made over that screen.
template <class ToolkitScreen, class ToolkitType>
class SystemPlatform {
public:
    SystemPlatform() = default;
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    Platform& Get() { return m_platform; }

private:
    sqldmo::SystemObjectFactory m_objects;
    ToolkitScreen m_screen;
    ToolkitType m_toolkit{m_screen};
    SystemLauncher m_launcher;
    SystemProcessQuery m_processes{m_launcher};
    Platform m_platform{m_objects, m_launcher, m_processes, m_toolkit};
};

}  // namespace tallyrun
