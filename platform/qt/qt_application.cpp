#include "platform/qt/qt_application.h"

#include "resources/application_icon.h"

namespace tallyrun {

QtApplication::QtApplication(int& argc, char** argv) : m_application(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("Tallyrun"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("tallyrun"));
    QApplication::setWindowIcon(ApplicationIcon());
}

int QtApplication::Exec()
{
    return QApplication::exec();
}

}  // namespace tallyrun
