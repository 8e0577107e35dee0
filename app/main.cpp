#include "main_window/frm_Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyrun"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    tallyrun::frm_Main window(tallyrun::SystemPlatform());
    window.show();
    return QApplication::exec();
}
