// The Win32 toolkit: forms made from layouts at the screen's twips per pixel, and the system's message boxes.
#pragma once

#include "platform/ui/toolkit.h"

namespace tallyrun {

class Win32Toolkit : public ui::Toolkit {
public:
    // The screen supplies the twips per pixel every form is laid out at; it must outlive the toolkit.
    explicit Win32Toolkit(const Screen& screen) : m_screen(screen) {}

    // The owner, when given, must be a form of this toolkit.
    std::unique_ptr<ui::Form> CreateForm(const ui::FormLayout& layout, ui::Form* owner) override;
    // The style's icon bits pass to MessageBoxW as they are: 64 is MB_ICONINFORMATION.
    void MsgBox(ui::Form& owner, const std::string& text, int style, const std::string& title) override;
    const Screen& GetScreen() const override { return m_screen; }

private:
    const Screen& m_screen;
};

}  // namespace tallyrun
