// The controls a form holds. Each belongs to its form and lives as long as it; texts are UTF-8.
#pragma once

#include <functional>
#include <string>

namespace tallyrun::ui {

class Label {
public:
    virtual ~Label() = default;
    virtual std::string Caption() const = 0;
};

// An editable text field with a drop-down list of rows, unsorted; typed text never becomes a row.
class ComboBox {
public:
    virtual ~ComboBox() = default;
    virtual std::string Text() const = 0;  // the edit text
    virtual void SetText(const std::string& text) = 0;
    virtual void Clear() = 0;  // empties the list
    // Adds a row at the end; the selected row stays as it was.
    virtual void AddItem(const std::string& text) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;  // 0-based
    virtual int ListIndex() const = 0;              // -1 when no row is selected
    // Selects a row and shows it as the edit text; raises an Error (errc::InvalidArgument) when out of range.
    virtual void SetListIndex(int index) = 0;
    // Raises an Error (errc::InvalidArgument) when the control cannot take the focus, e.g. when disabled.
    virtual void SetFocus() = 0;
    virtual void Refresh() = 0;
    virtual void ShowDropDown() = 0;  // opens the list
};

class CommandButton {
public:
    virtual ~CommandButton() = default;
    virtual std::string Caption() const = 0;
    virtual void OnClick(std::function<void()> handler) = 0;
};

// Ticks on the user-interface thread every interval while enabled; it stops with its form.
class Timer {
public:
    virtual ~Timer() = default;
    virtual int Interval() const = 0;  // milliseconds
    virtual void SetInterval(int milliseconds) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void OnTimer(std::function<void()> handler) = 0;
};

}  // namespace tallyrun::ui
