// A form's layout as data: its caption, client size and controls in twips, which every toolkit realises the same.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tallyrun::ui {

struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind { Label, ComboBox, CommandButton };

enum class Alignment { Left, Right, Center };

// Texts are UTF-8. A label directly before a combo box is that box's label (its buddy), which a screen reader
// reads with it.
struct ControlLayout {
    ControlKind kind;
    std::string_view name;
    std::string_view caption;  // a label's or button's caption; a combo box's initial edit text
    // What a screen reader calls the control; empty for a label, which is read by its caption.
    std::string_view accessibleName;
    TwipsRect at;              // relative to the client area
    Alignment alignment = Alignment::Left;  // labels only
    bool wordWrap = false;     // labels only: the caption runs over several lines from the top, never shrunk to fit
};

// A top-level window the program's event loop keeps open, or a dialog shown over an owner.
enum class FormKind { Window, Dialog };

struct FormLayout {
    std::string_view name;
    std::string_view caption;
    FormKind kind;
    int clientWidth, clientHeight;  // twips
    // In tab order: keyboard focus starts in the first control that takes it, and Tab walks on in this order.
    std::span<const ControlLayout> controls;
    // A dialog that only waits: screen readers are told it is busy while it is up.
    bool waits = false;
};

}  // namespace tallyrun::ui
