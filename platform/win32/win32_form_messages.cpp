// What a form does with its window's messages: commands from its buttons and dialog keys, timers, every way of
// closing it, the pointer, the labels' colours and the focus kept across activations.
#include "platform/win32/win32_form.h"

#include "platform/win32/message_loop.h"

#include <oleacc.h>

namespace tallyrun {

namespace {

// The form's own child that holds or contains the window (a combo box's edit field, its list).
HWND ChildOf(HWND form, HWND window)
{
    while (window && ::GetParent(window) != form)
        window = ::GetParent(window);
    return window;
}

}  // namespace

LRESULT CALLBACK Win32Form::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        return form->Receive(message, wParam, lParam);
    } catch (...) {
        DeferError(std::current_exception());
        return 0;
    }
}

LRESULT Win32Form::Receive(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam);
        return 0;
    case WM_TIMER:
        for (const auto& timer : m_timers) {
            if (timer->Id() == wParam)
                timer->Tick();
        }
        return 0;
    case WM_CLOSE:
        RequestClose();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            RequestClose();
            return 0;
        }
        break;
    case WM_QUERYENDSESSION:
        return m_loaded && Refuses() ? FALSE : TRUE;
    case WM_ENDSESSION:
        // The close was granted at the query; the session now ends for certain.
        if (wParam && m_loaded)
            CompleteUnload();
        return 0;
    case WM_SETCURSOR:
        // Children pass the question up first, so this covers the controls and the combo boxes' edit fields too.
        if (m_mousePointer == ui::PointerHourglass && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC:
        for (const Control& control : m_controls) {
            if (control.window == reinterpret_cast<HWND>(lParam) &&
                std::holds_alternative<std::unique_ptr<Win32Label>>(control.view)) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus))
                m_focus = ChildOf(Handle(), focus);
        } else if (m_focus) {
            ::SetFocus(m_focus);
            return 0;
        }
        break;
    case WM_NEXTDLGCTL:
        MoveFocus(wParam, lParam);
        return 0;
    case WM_GETOBJECT:
        // Wine's own window object tells no role; Windows' says the same as this.
        if (static_cast<LONG>(lParam) == OBJID_WINDOW) {
            if (const LRESULT answer = AnswerAccessible(Handle(), wParam, OBJID_WINDOW, {}, ROLE_SYSTEM_WINDOW))
                return answer;
        } else if (static_cast<LONG>(lParam) == OBJID_CLIENT && m_waits && ::IsWindowVisible(Handle())) {
            if (const LRESULT answer = AnswerAccessible(Handle(), wParam, OBJID_CLIENT, {}, 0, STATE_SYSTEM_BUSY))
                return answer;
        }
        break;
    case ShownMessage:
        if (::IsWindowVisible(Handle()) && m_shown)
            m_shown();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void Win32Form::OnCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    if (id == IDCANCEL) {
        // Escape: a dialog takes it as a close request, a window ignores it.
        if (m_kind == ui::FormKind::Dialog)
            RequestClose();
        return;
    }
    HWND pressed = nullptr;
    if (id == IDOK)
        pressed = ChildOf(Handle(), ::GetFocus());  // Enter presses the button that has the focus
    else if (HIWORD(wParam) == BN_CLICKED)
        pressed = ::GetDlgItem(Handle(), id);
    for (const Control& control : m_controls) {
        if (control.window != pressed)
            continue;
        if (const auto* button = std::get_if<std::unique_ptr<Win32CommandButton>>(&control.view))
            (*button)->Click();
    }
}

// The dialog keys ask for the next control this way where they find a dialog; the dialog manager's answer.
void Win32Form::MoveFocus(WPARAM wParam, LPARAM lParam)
{
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : ::GetNextDlgTabItem(Handle(), ChildOf(Handle(), ::GetFocus()), wParam != 0);
    if (!next)
        return;
    ::SetFocus(next);
    const HWND focus = ::GetFocus();
    if (focus && (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        ::SendMessageW(focus, EM_SETSEL, 0, -1);
}

}  // namespace tallyrun
