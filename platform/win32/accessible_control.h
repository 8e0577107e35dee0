// What a screen reader is told of a control: the system's own accessible object for it, under the name and role
// the layout gives it.
#pragma once

#include <windows.h>

#include <string>

namespace tallyrun {

// From construction to destruction the control answers a screen reader's WM_GETOBJECT with the system's
// accessible object for its client area, saying `name` (unless empty, when the system's name stands) and `role`.
// The control must outlive this. Raises an Error when the control cannot be subclassed.
class AccessibleControl {
public:
    AccessibleControl(HWND control, std::wstring name, long role);
    ~AccessibleControl();
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);

    HWND m_control;
    std::wstring m_name;
    long m_role;
};

}  // namespace tallyrun
