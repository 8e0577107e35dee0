#include "platform/qt/qt_form.h"

#include "platform/core/error.h"
#include "platform/qt/twips.h"

#include <QSize>
#include <QWidget>

namespace tallyrun {

QtForm::QtForm(QWidget& window, const Screen& screen) : m_window(window), m_screen(screen) {}

int QtForm::WindowState() const
{
    const Qt::WindowStates state = m_window.windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

float QtForm::Left() const { return ToTwipsX(m_window.frameGeometry().x()); }
float QtForm::Top() const { return ToTwipsY(m_window.frameGeometry().y()); }
float QtForm::Width() const { return ToTwipsX(FrameSize().width()); }
float QtForm::Height() const { return ToTwipsY(FrameSize().height()); }
float QtForm::ScaleWidth() const { return ToTwipsX(m_window.width()); }
float QtForm::ScaleHeight() const { return ToTwipsY(m_window.height()); }

const StatusBarView& QtForm::StatusBar() const
{
    throw Error(errc::ObjectRequired, "The window \"" + m_window.windowTitle().toStdString() + "\" has no status bar");
}

void QtForm::Move(double left, double top)
{
    const int x = TwipsToPixels(left, m_screen.TwipsPerPixelX());
    const int y = TwipsToPixels(top, m_screen.TwipsPerPixelY());
    // For a top-level window, QWidget::move places the frame, not the client area.
    m_window.move(x, y);
}

QSize QtForm::FrameSize() const
{
    if (m_window.isVisible() || !m_window.parentWidget())
        return m_window.frameGeometry().size();
    // Not shown, so its frame is not known yet: the owner's is the best guess of the one the window will wear, which
    // keeps a dialog centred before it is shown from landing half a title bar low.
    const QWidget* owner = m_window.parentWidget()->window();
    return m_window.size() + (owner->frameGeometry().size() - owner->size());
}

float QtForm::ToTwipsX(int pixels) const { return static_cast<float>(pixels) * m_screen.TwipsPerPixelX(); }
float QtForm::ToTwipsY(int pixels) const { return static_cast<float>(pixels) * m_screen.TwipsPerPixelY(); }

}  // namespace tallyrun
