// The floors Tallyrun's start-up is measured against: an empty Qt window of the main window's size, no icon, and
// (built as text_window) the same window with one line of text, which is what Qt's fonts cost any window.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tallyrun"));
    window.setFixedSize(402, 143);
#ifdef WITH_TEXT
    QLabel label(QStringLiteral("Use this utility to update table usage of a SQL Server database."), &window);
    label.move(8, 8);
#endif
    window.show();
    return QApplication::exec();
}
