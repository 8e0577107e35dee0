// The Win32 controls behind a form's labels, combo boxes, buttons and timers. The control windows are children of
// the form's window and go with it; these views only name them. Timers are owned here.
#pragma once

#include "platform/ui/controls.h"

#include <windows.h>

#include <string>

namespace tallyrun {

// A window's text, UTF-8.
std::string WindowText(HWND window);
// Paints the window and its children now, as a refresh asks.
void Repaint(HWND window);

class Win32Label : public ui::Label {
public:
    explicit Win32Label(HWND label) : m_label(label) {}
    std::string Caption() const override { return WindowText(m_label); }

private:
    HWND m_label;
};

class Win32ComboBox : public ui::ComboBox {
public:
    explicit Win32ComboBox(HWND combo) : m_combo(combo) {}
    std::string Text() const override { return WindowText(m_combo); }
    void SetText(const std::string& text) override;
    // Empties the edit text as well, as the system's combo box does.
    void Clear() override;
    void AddItem(const std::string& text) override;
    int ListCount() const override;
    std::string List(int index) const override;  // empty when out of range
    int ListIndex() const override;
    void SetListIndex(int index) override;
    // Refused (raising) while the combo box is hidden or disabled, as the focus could not land there.
    void SetFocus() override;
    void Refresh() override;
    void ShowDropDown() override;

private:
    HWND m_combo;
};

class Win32CommandButton : public ui::CommandButton {
public:
    explicit Win32CommandButton(HWND button) : m_button(button) {}
    std::string Caption() const override { return WindowText(m_button); }
    void OnClick(std::function<void()> handler) override { m_click = std::move(handler); }
    // The form passes on the button's BN_CLICKED.
    void Click() const;

private:
    HWND m_button;
    std::function<void()> m_click;
};

// A system timer of the form's window, known there by its identifier; killed with this object.
class Win32Timer : public ui::Timer {
public:
    Win32Timer(HWND window, UINT_PTR id) : m_window(window), m_id(id) {}
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    int Interval() const override { return m_interval; }
    // While enabled the count starts again at the new interval.
    void SetInterval(int milliseconds) override;
    bool Enabled() const override { return m_enabled; }
    // Raises an Error with the system's number when the system has no timer left to give.
    void SetEnabled(bool enabled) override;
    void OnTimer(std::function<void()> handler) override { m_tick = std::move(handler); }

    UINT_PTR Id() const { return m_id; }
    // The form passes on the timer's WM_TIMER; one still queued after disabling is dropped.
    void Tick() const;

private:
    HWND m_window;
    UINT_PTR m_id;
    int m_interval = 0;
    bool m_enabled = false;
    std::function<void()> m_tick;
};

}  // namespace tallyrun
