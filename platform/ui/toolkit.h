// What the window modules ask of a user-interface toolkit: forms made from layouts, message boxes, the screen.
#pragma once

#include "platform/ui/form.h"
#include "platform/ui/layout.h"
#include "platform/ui/placement_view.h"

#include <memory>
#include <string>

namespace tallyrun::ui {

inline constexpr int MessageStyleInformation = 64;

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Creating a form loads it, not yet visible. A dialog is owned by `owner` from the start, so that it can be
    // placed over it before it is shown; the form must not outlive its owner.
    virtual std::unique_ptr<Form> CreateForm(const FormLayout& layout, Form* owner) = 0;

    // A message box with an OK button over the owner; returns once it has been dismissed. 64 shows the information
    // icon.
    virtual void MsgBox(Form& owner, const std::string& text, int style, const std::string& title) = 0;

    virtual const Screen& GetScreen() const = 0;
};

}  // namespace tallyrun::ui
