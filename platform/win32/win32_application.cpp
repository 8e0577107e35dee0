#include "platform/win32/win32_application.h"

#include "platform/win32/message_loop.h"
#include "platform/win32/win32_form.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace tallyrun {

// Without the apartment a screen reader gets no object from the controls; the windows work all the same.
Win32Application::Win32Application()
    : m_apartment(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

Win32Application::~Win32Application()
{
    if (m_apartment)
        ::CoUninitialize();
}

int Win32Application::Exec()
{
    return RunMessagesWhile([] { return Win32Form::OpenWindows() > 0; }).value_or(0);
}

}  // namespace tallyrun
