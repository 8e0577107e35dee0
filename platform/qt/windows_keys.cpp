#include "platform/qt/windows_keys.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace tallyrun {

void SelectFocusedText(const QWidget& window)
{
    QWidget* focus = window.focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        focus = combo->lineEdit();
    if (auto* edit = qobject_cast<QLineEdit*>(focus))
        edit->selectAll();
}

bool WindowsKeys::eventFilter(QObject* target, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
            button->click();
            return true;
        }
        return false;
    }
    // Alt with a character belongs to menus and access keys; Ctrl+Alt is AltGr, which types.
    const bool altCharacter = (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) &&
                              !key->text().isEmpty() && key->text().front().isPrint();
    return altCharacter && (qobject_cast<QLineEdit*>(target) || qobject_cast<QComboBox*>(target));
}

}  // namespace tallyrun
