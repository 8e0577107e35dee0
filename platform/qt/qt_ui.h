// The real message box and drop-down calls.
#pragma once

#include "platform/core/ui_seams.h"

namespace tallyrun {

class QtMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget* owner, const QString& text, int style, const QString& title) override;
};

class QtDropDown : public DropDown {
public:
    void ShowDropDown(QComboBox& combo) override;
};

}  // namespace tallyrun
