// The Qt application object of the programme, named and carrying the application icon.
#pragma once

#include <QApplication>

namespace tallyrun {

class QtApplication {
public:
    QtApplication(int& argc, char** argv);
    // Runs the event loop until the last window has closed.
    int Exec();

private:
    QApplication m_application;
};

}  // namespace tallyrun
