// A form's life once made: shown, shown modally over its owner, unloaded through its close request, and its frame
// read and moved in twips.
#include "platform/win32/win32_form.h"

#include "platform/core/error.h"
#include "platform/core/windows/system_message.h"
#include "platform/ui/twips.h"
#include "platform/win32/message_loop.h"

#include <utility>

namespace tallyrun {

namespace {

int openWindows = 0;

}  // namespace

Win32Form::~Win32Form()
{
    if (m_open)
        --openWindows;
    // The window's last messages, while it is destroyed, find no form behind it.
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0);
}

template <class T>
T& Win32Form::ViewAt(std::size_t index)
{
    if (index < m_controls.size()) {
        if (auto* view = std::get_if<std::unique_ptr<T>>(&m_controls[index].view))
            return **view;
    }
    throw Error(errc::InvalidArgument,
                "The form \"" + Caption() + "\" has no such control at " + std::to_string(index));
}

ui::Label& Win32Form::LabelAt(std::size_t index) { return ViewAt<Win32Label>(index); }
ui::ComboBox& Win32Form::ComboBoxAt(std::size_t index) { return ViewAt<Win32ComboBox>(index); }
ui::CommandButton& Win32Form::CommandButtonAt(std::size_t index) { return ViewAt<Win32CommandButton>(index); }

ui::Timer& Win32Form::AddTimer()
{
    return *m_timers.emplace_back(std::make_unique<Win32Timer>(Handle(), m_timers.size() + 1));
}

void Win32Form::SetMousePointer(int pointer)
{
    m_mousePointer = pointer;
    // Where the mouse is over the form, the pointer changes now rather than at its next move.
    POINT at{};
    if (!::GetCursorPos(&at))
        return;
    const HWND under = ::WindowFromPoint(at);
    if (under == Handle() || ::IsChild(Handle(), under))
        ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void Win32Form::Refresh()
{
    Repaint(Handle());
}

void Win32Form::Show()
{
    m_loaded = true;
    if (m_kind == ui::FormKind::Window && !std::exchange(m_open, true))
        ++openWindows;
    ::ShowWindow(Handle(), SW_SHOW);
    if (m_waits)
        ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
    ::PostMessageW(Handle(), ShownMessage, 0, 0);
}

void Win32Form::ShowModal()
{
    if (m_kind != ui::FormKind::Dialog)
        throw Error(errc::InvalidArgument, "The window \"" + Caption() + "\" cannot be shown modally");

    // Whatever ends the show (the unload, an error, WM_QUIT), the owner is usable and active again afterwards.
    struct OwnerBack {
        Win32Form& dialog;
        HWND owner;
        ~OwnerBack()
        {
            if (const HWND disabled = std::exchange(dialog.m_disabledOwner, nullptr))
                ::EnableWindow(disabled, TRUE);
            if (owner && ::IsWindowVisible(owner))
                ::SetActiveWindow(owner);
        }
    };
    const OwnerBack back{*this, ::GetWindow(Handle(), GW_OWNER)};
    // An owner disabled already, as under a modal show of its own, is left for that show to enable.
    if (back.owner && !::EnableWindow(back.owner, FALSE))
        m_disabledOwner = back.owner;
    Show();
    RunMessagesWhile([this] { return m_loaded; });
}

void Win32Form::Unload()
{
    RequestClose();
}

bool Win32Form::Refuses() const
{
    bool cancel = false;
    if (m_queryUnload)
        m_queryUnload(cancel);
    return cancel;
}

bool Win32Form::RequestClose()
{
    if (Refuses())
        return false;
    CompleteUnload();
    return true;
}

void Win32Form::CompleteUnload()
{
    for (const auto& timer : m_timers)
        timer->SetEnabled(false);
    if (m_unload)
        m_unload();
    // Enabled before this window goes, so that the system hands the activation to the owner.
    if (const HWND owner = std::exchange(m_disabledOwner, nullptr))
        ::EnableWindow(owner, TRUE);
    ::ShowWindow(Handle(), SW_HIDE);
    m_loaded = false;
    if (std::exchange(m_open, false))
        --openWindows;
}

int Win32Form::WindowState() const
{
    if (::IsIconic(Handle()))
        return 1;
    if (::IsZoomed(Handle()))
        return 2;
    return 0;
}

RECT Win32Form::Frame() const
{
    RECT frame{};
    ::GetWindowRect(Handle(), &frame);
    return frame;
}

float Win32Form::ToTwipsX(int pixels) const { return TwipsOf(pixels, m_screen.TwipsPerPixelX()); }
float Win32Form::ToTwipsY(int pixels) const { return TwipsOf(pixels, m_screen.TwipsPerPixelY()); }

float Win32Form::Left() const { return ToTwipsX(Frame().left); }
float Win32Form::Top() const { return ToTwipsY(Frame().top); }
float Win32Form::Width() const { return ToTwipsX(Frame().right - Frame().left); }
float Win32Form::Height() const { return ToTwipsY(Frame().bottom - Frame().top); }

float Win32Form::ScaleWidth() const
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return ToTwipsX(client.right);
}

float Win32Form::ScaleHeight() const
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return ToTwipsY(client.bottom);
}

const StatusBarView& Win32Form::StatusBar() const
{
    throw Error(errc::ObjectRequired, "The window \"" + Caption() + "\" has no status bar");
}

void Win32Form::Move(double left, double top)
{
    const int x = PixelsOf(left, m_screen.TwipsPerPixelX());
    const int y = PixelsOf(top, m_screen.TwipsPerPixelY());
    if (!::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        throw LastSystemError("Cannot move the window \"" + Caption() + "\"");
}

int Win32Form::OpenWindows()
{
    return openWindows;
}

}  // namespace tallyrun
