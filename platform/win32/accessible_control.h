// What a screen reader is told of a control or a form: the system's own accessible object for it, under the name,
// role and states we give it.
#pragma once

#include <windows.h>

#include <string>

namespace tallyrun {

// The answer to WM_GETOBJECT (its wParam) asking for `object` of the window: the system's accessible object for it,
// saying `name` (unless empty), `role` (unless 0) and `addedStates` besides the system's states. 0 when the system
// has no object to give.
LRESULT AnswerAccessible(HWND window, WPARAM wParam, LONG object, const std::wstring& name, long role,
                         long addedStates = 0);

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
