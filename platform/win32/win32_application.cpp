#include "platform/win32/win32_application.h"

#include "platform/win32/message_loop.h"
#include "platform/win32/win32_form.h"

#include <windows.h>
#include <commctrl.h>

namespace tallyrun {

Win32Application::Win32Application()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

int Win32Application::Exec()
{
    return RunMessagesWhile([] { return Win32Form::OpenWindows() > 0; }).value_or(0);
}

}  // namespace tallyrun
