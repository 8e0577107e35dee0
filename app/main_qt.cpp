#include "app/system_platform.h"
#include "main_window/frm_Main.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_toolkit.h"

int main(int argc, char* argv[])
{
    tallyrun::QtApplication application(argc, argv);
    tallyrun::SystemPlatform<tallyrun::QtScreen, tallyrun::QtToolkit> system;
    tallyrun::frm_Main window(system.Get());
    window.Show();
    return application.Exec();
}
