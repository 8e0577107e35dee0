// The floor Tallyrun's start-up is measured against: an empty Qt window of the main window's size, no icon.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tallyrun"));
    window.setFixedSize(402, 143);
    window.show();
    return QApplication::exec();
}
