// The keyboard as Windows' dialog manager has it: Enter and the keypad's Enter press the focused button, Alt with a
// character types nothing into a field, and the focused field's text is selected when the window opens, so typing
// replaces it.
#pragma once

#include <QObject>

class QWidget;

namespace tallyrun {

// Installed on a form's buttons and combo boxes (and their edit fields); owned by the window.
class WindowsKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;
};

// As the window opens: the text of the field that will have the focus, selected.
void SelectFocusedText(const QWidget& window);

}  // namespace tallyrun
