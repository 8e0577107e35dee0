// A form of the Win32 toolkit: a fixed-size window made from a layout at the screen's twips per pixel, with its
// controls, every way of closing it asking the close request, and the view in twips that the centring procedures
// read and move.
#pragma once

#include "platform/ui/form.h"
#include "platform/ui/layout.h"
#include "platform/win32/accessible_control.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tallyrun {

class Win32Form : public ui::Form {
public:
    // A dialog's window is owned by the owner's from the start. Raises an Error with the system's number when the
    // window cannot be made (as without a display). The screen must outlive the form.
    Win32Form(const ui::FormLayout& layout, Win32Form* owner, const Screen& screen);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    std::string Caption() const override { return WindowText(Handle()); }
    ui::Label& LabelAt(std::size_t index) override;
    ui::ComboBox& ComboBoxAt(std::size_t index) override;
    ui::CommandButton& CommandButtonAt(std::size_t index) override;
    ui::Timer& AddTimer() override;
    int MousePointer() const override { return m_mousePointer; }
    void SetMousePointer(int pointer) override;
    void Refresh() override;
    void Show() override;
    // Dialogs only; a top-level window raises an Error (errc::InvalidArgument). The owner is disabled meanwhile.
    void ShowModal() override;
    void Unload() override;
    void OnQueryUnload(std::function<void(bool& cancel)> handler) override { m_queryUnload = std::move(handler); }
    void OnUnload(std::function<void()> handler) override { m_unload = std::move(handler); }
    void OnShown(std::function<void()> handler) override { m_shown = std::move(handler); }

    int WindowState() const override;  // 0 normal, 1 minimised, 2 maximised
    float Left() const override;        // the frame's outer geometry
    float Top() const override;
    float Width() const override;
    float Height() const override;
    float ScaleWidth() const override;  // the client area
    float ScaleHeight() const override;
    bool MDIChild() const override { return false; }
    // None of our windows has one: raises an Error.
    const StatusBarView& StatusBar() const override;
    // Moves the frame's top-left corner to whole pixels; raises an Error when they are out of range.
    void Move(double left, double top) override;

    HWND Handle() const { return m_window.get(); }
    // The window of the control at that index in the layout, and its name there.
    HWND ControlHandle(std::size_t index) const { return m_controls.at(index).window; }
    const std::string& ControlName(std::size_t index) const { return m_controls.at(index).name; }
    std::size_t ControlCount() const { return m_controls.size(); }

    // Whether the top-level window is one of our forms, whose dialog keys the message loops handle.
    static bool IsForm(HWND window);
    // Top-level windows (not dialogs) shown and not unloaded since: the application runs while there is one.
    static int OpenWindows();

private:
    using View = std::variant<std::unique_ptr<Win32Label>, std::unique_ptr<Win32ComboBox>,
                              std::unique_ptr<Win32CommandButton>>;
    struct Control {
        std::string name;
        HWND window;
        View view;
        std::unique_ptr<AccessibleControl> accessible;
    };

    // Private to the form's window: posted by a show, so that OnShown runs from the loop.
    static constexpr UINT ShownMessage = WM_APP + 1;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(const ui::FormLayout& layout);
    template <class T>
    T& ViewAt(std::size_t index);
    void OnCommand(WPARAM wParam);
    void MoveFocus(WPARAM wParam, LPARAM lParam);
    bool Refuses() const;
    bool RequestClose();
    void CompleteUnload();
    RECT Frame() const;
    float ToTwipsX(int pixels) const;
    float ToTwipsY(int pixels) const;

    const Screen& m_screen;
    const ui::FormKind m_kind;
    // Screen readers hear it busy while it is shown.
    const bool m_waits;
    std::function<void(bool& cancel)> m_queryUnload;
    std::function<void()> m_unload;
    std::function<void()> m_shown;
    // Declared before the window, which its controls draw with until they go.
    UniqueFont m_font;
    UniqueWindow m_window;
    std::vector<Control> m_controls;
    // Destroyed before the window, whose timers they kill.
    std::vector<std::unique_ptr<Win32Timer>> m_timers;
    // The control that has, or last had, the keyboard focus: it gets it back when the window is activated.
    HWND m_focus = nullptr;
    // The owner that a modal show disabled, until the dialog unloads.
    HWND m_disabledOwner = nullptr;
    int m_mousePointer = ui::PointerDefault;
    bool m_loaded = true;
    bool m_open = false;
};

}  // namespace tallyrun
