// The two user-interface calls that block or grab input (message boxes and opening a combo box's list), behind
// an interface so that tests can record them instead.
#pragma once

class QComboBox;
class QString;
class QWidget;

namespace tallyrun {

inline constexpr int MessageStyleInformation = 64;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a message box with an OK button and waits for it.
    virtual void Show(QWidget* owner, const QString& text, int style, const QString& title) = 0;
};

class DropDown {
public:
    virtual ~DropDown() = default;
    virtual void ShowDropDown(QComboBox& combo) = 0;
};

}  // namespace tallyrun
