#include "platform/win32/win32_controls.h"

#include "base/error.h"
#include "base/system_message.h"
#include "base/windows/utf16_text.h"

#include <algorithm>

namespace tallyrun {

std::string WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void Repaint(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32ComboBox::SetText(const std::string& text)
{
    if (!::SetWindowTextW(m_combo, Widen(text, Malformed::Refuse).c_str()))
        throw LastSystemError("Cannot set the text of a combo box");
}

void Win32ComboBox::Clear()
{
    ::SendMessageW(m_combo, CB_RESETCONTENT, 0, 0);
}

void Win32ComboBox::AddItem(const std::string& text)
{
    const std::wstring row = Widen(text, Malformed::Refuse);
    const LRESULT added = ::SendMessageW(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    if (added == CB_ERR || added == CB_ERRSPACE)
        throw Error(ERROR_NOT_ENOUGH_MEMORY, "Out of memory: the list cannot take the row \"" + text + "\"");
}

int Win32ComboBox::ListCount() const
{
    return static_cast<int>(::SendMessageW(m_combo, CB_GETCOUNT, 0, 0));
}

std::string Win32ComboBox::List(int index) const
{
    const LRESULT length = ::SendMessageW(m_combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring row(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(m_combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(row.data()));
    row.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return Narrow(row);
}

int Win32ComboBox::ListIndex() const
{
    return static_cast<int>(::SendMessageW(m_combo, CB_GETCURSEL, 0, 0));
}

void Win32ComboBox::SetListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw Error(errc::InvalidArgument, "Invalid property value");
    ::SendMessageW(m_combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32ComboBox::SetFocus()
{
    if (!::IsWindowVisible(m_combo) || !::IsWindowEnabled(m_combo))
        throw Error(errc::InvalidArgument, "Invalid procedure call or argument");
    ::SetFocus(m_combo);
}

void Win32ComboBox::Refresh()
{
    Repaint(m_combo);
}

void Win32ComboBox::ShowDropDown()
{
    ::SendMessageA(m_combo, CB_SHOWDROPDOWN, TRUE, 0);
}

void Win32CommandButton::Click() const
{
    if (m_click)
        m_click();
}

Win32Timer::~Win32Timer()
{
    if (m_enabled)
        ::KillTimer(m_window, m_id);
}

void Win32Timer::SetInterval(int milliseconds)
{
    m_interval = milliseconds;
    if (m_enabled)
        SetEnabled(true);
}

// SetTimer on the identifier of a running timer starts its count again, as enabling an enabled timer should.
void Win32Timer::SetEnabled(bool enabled)
{
    if (!enabled) {
        if (m_enabled)
            ::KillTimer(m_window, m_id);
        m_enabled = false;
        return;
    }
    if (!::SetTimer(m_window, m_id, static_cast<UINT>(std::max(m_interval, 0)), nullptr))
        throw LastSystemError("Cannot start a timer");
    m_enabled = true;
}

void Win32Timer::Tick() const
{
    if (m_enabled && m_tick)
        m_tick();
}

}  // namespace tallyrun
