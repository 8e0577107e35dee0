#include "platform/qt/qt_form_widget.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>

namespace tallyrun {

bool FormEvents::Refuses() const
{
    bool cancel = false;
    if (queryUnload)
        queryUnload(cancel);
    return cancel;
}

void FormEvents::AnnounceShown(QWidget& window) const
{
    QTimer::singleShot(0, &window, [this, &window] {
        if (window.isVisible() && shown)
            shown();
    });
}

void QtWindowWidget::closeEvent(QCloseEvent* event)
{
    if (m_events.Refuses()) {
        event->ignore();
        return;
    }
    if (m_events.unload)
        m_events.unload();
    event->accept();
}

void QtWindowWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_events.AnnounceShown(*this);
}

// QDialog's closeEvent goes through reject() and so through here; a dialog still visible afterwards ignores the
// close event.
void QtDialogWidget::done(int result)
{
    if (m_events.Refuses())
        return;
    if (m_events.unload)
        m_events.unload();
    QDialog::done(result);
}

void QtDialogWidget::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_waits) {
        QAccessible::State busy;
        busy.busy = true;
        QAccessibleStateChangeEvent change(this, busy);
        QAccessible::updateAccessibility(&change);
    }
    m_events.AnnounceShown(*this);
}

}  // namespace tallyrun
