#include "app/system_platform.h"
#include "main_window/frm_Main.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_toolkit.h"

int main()
{
    tallyrun::Win32Application application;
    tallyrun::SystemPlatform<tallyrun::Win32Screen, tallyrun::Win32Toolkit> system;
    tallyrun::frm_Main window(system.Get());
    window.Show();
    return application.Exec();
}
