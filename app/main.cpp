#include "main_window/frm_Main.h"
#include "resources/application_icon.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyrun"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("tallyrun"));
    QApplication::setWindowIcon(tallyrun::ApplicationIcon());

    tallyrun::frm_Main window(tallyrun::SystemPlatform());
    window.show();
    return QApplication::exec();
}
