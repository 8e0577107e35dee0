// A toolkit's form: a window made from a layout, with its controls, pointer, showing and closing, and the view
// the centring procedures read and move.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/placement_view.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tallyrun::ui {

// Values of the form-wide mouse pointer.
inline constexpr int PointerDefault = 0;
inline constexpr int PointerHourglass = 11;

class Form : public tallyrun::Form {
public:
    virtual std::string Caption() const = 0;

    // The controls, by their index in the layout the form was made from. Raises an Error
    // (errc::InvalidArgument) when the control at that index is of another kind.
    virtual Label& LabelAt(std::size_t index) = 0;
    virtual ComboBox& ComboBoxAt(std::size_t index) = 0;
    virtual CommandButton& CommandButtonAt(std::size_t index) = 0;
    // A new timer, disabled, owned by the form.
    virtual Timer& AddTimer() = 0;

    virtual int MousePointer() const = 0;
    // 0 default, 11 hourglass; the hourglass covers the whole form, its edit fields included.
    virtual void SetMousePointer(int pointer) = 0;
    virtual void Refresh() = 0;

    // Modeless: returns at once.
    virtual void Show() = 0;
    // Modal over the owner the form was made with: returns once the form has been unloaded, events running meanwhile.
    virtual void ShowModal() = 0;
    // Asks the form to close as the user's close box would; the close request may refuse it.
    virtual void Unload() = 0;

    // Every request to close (close box, system menu, keyboard, session end or Unload) asks this first; setting
    // cancel keeps the form open.
    virtual void OnQueryUnload(std::function<void(bool& cancel)> handler) = 0;
    // The form has accepted a request to close.
    virtual void OnUnload(std::function<void()> handler) = 0;
    // The form is on the screen: runs from the event loop after each show, while the form is still visible.
    virtual void OnShown(std::function<void()> handler) = 0;
};

}  // namespace tallyrun::ui
