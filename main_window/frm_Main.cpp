#include "main_window/frm_Main.h"

#include <QCloseEvent>

namespace tallyrun {

frm_Main::frm_Main(Platform& platform, QWidget* parent) : QWidget(parent), m_platform(platform)
{
    setWindowTitle(QStringLiteral("Tallyrun"));
}

frm_Main::~frm_Main() = default;

void frm_Main::SetMousePointer(int pointer)
{
    m_mousePointer = pointer;
}

void frm_Main::closeEvent(QCloseEvent* event)
{
    event->accept();
}

}  // namespace tallyrun
