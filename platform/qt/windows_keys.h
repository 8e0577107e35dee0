// The keyboard as Windows' dialog manager has it: Enter and the keypad's Enter press the focused button, Alt with a
// character types nothing into a field, and the focused field's text is selected when the window opens, so typing
// replaces it.
#pragma once

#include <QObject>

namespace tallyrun {

// Installed on a form's window, its buttons and its combo boxes (and their edit fields); owned by the window.
class WindowsKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;
};

}  // namespace tallyrun
