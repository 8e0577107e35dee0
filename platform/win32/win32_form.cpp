#include "platform/win32/win32_form.h"

#include "base/error.h"
#include "base/system_message.h"
#include "base/windows/utf16_text.h"
#include "platform/ui/twips.h"
#include "platform/win32/caption_font.h"
#include "platform/win32/message_loop.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

namespace tallyrun {

namespace {

// A caption and a system menu with its close box; neither minimise nor maximise box, nor a sizing border.
constexpr DWORD FrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Private to the form's window: posted by a show, so that OnShown runs from the loop.
constexpr UINT ShownMessage = WM_APP + 1;
// Above IDOK and IDCANCEL, which the dialog keys send.
constexpr int FirstControlId = 100;
// Rows a combo box's drop-down list shows before it scrolls.
constexpr int VisibleListRows = 8;
// The icon of tallyrun.rc; without it (as in test programmes) the system's application icon.
constexpr wchar_t ApplicationIconName[] = L"IDI_APPLICATION_ICON";
constexpr wchar_t FormClassName[] = L"TallyrunForm";

ATOM formClass = 0;
int openWindows = 0;

HICON ApplicationIcon(int metricX, int metricY)
{
    const int width = ::GetSystemMetrics(metricX);
    const int height = ::GetSystemMetrics(metricY);
    // Shared icons stay the system's to release.
    if (HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), ApplicationIconName, IMAGE_ICON, width, height,
                                   LR_SHARED))
        return static_cast<HICON>(icon);
    return static_cast<HICON>(::LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, width, height, LR_SHARED));
}

void RegisterFormClass(WNDPROC procedure)
{
    if (!formClass) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hIcon = ApplicationIcon(SM_CXICON, SM_CYICON);
        windowClass.hIconSm = ApplicationIcon(SM_CXSMICON, SM_CYSMICON);
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = FormClassName;
        formClass = ::RegisterClassExW(&windowClass);
        if (!formClass)
            throw LastSystemError("Cannot register the windows' class");
    }
}

struct PixelRect {
    int left, top, width, height;
};

PixelRect Pixels(const ui::TwipsRect& at, const Screen& screen)
{
    const float x = screen.TwipsPerPixelX();
    const float y = screen.TwipsPerPixelY();
    return {PixelsOf(at.left, x), PixelsOf(at.top, y), PixelsOf(at.width, x), PixelsOf(at.height, y)};
}

DWORD LabelStyle(const ui::ControlLayout& control)
{
    DWORD style = SS_NOPREFIX;
    switch (control.alignment) {
    case ui::Alignment::Right:
        style |= SS_RIGHT;
        break;
    case ui::Alignment::Center:
        style |= SS_CENTER;
        break;
    case ui::Alignment::Left:
        style |= SS_LEFT;
        break;
    }
    // One line, centred from top to bottom; otherwise the text wraps from the top.
    if (!control.wordWrap)
        style |= SS_CENTERIMAGE;
    return style;
}

HWND CreateChild(HWND parent, const wchar_t* windowClass, const std::wstring& text, DWORD style,
                 const PixelRect& at, std::size_t index)
{
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + static_cast<int>(index)));
    const HWND child = ::CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left,
                                         at.top, at.width, at.height, parent, id, ::GetModuleHandleW(nullptr),
                                         nullptr);
    if (!child)
        throw LastSystemError("Cannot create a control");
    return child;
}

int WindowHeight(HWND window)
{
    RECT frame{};
    ::GetWindowRect(window, &frame);
    return frame.bottom - frame.top;
}

// The height a combo box is made with is that of its open list; the closed box takes its height from its font.
// The list is given a number of rows, and then the closed box the layout's height. Versions of the control differ
// in what the field height they are given includes, so the result is measured and corrected until it is right.
void FitComboBox(HWND combo, const PixelRect& at)
{
    const auto row = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    ::SetWindowPos(combo, nullptr, 0, 0, at.width, at.height + VisibleListRows * row + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(combo, CB_SETMINVISIBLE, VisibleListRows, 0);
    LRESULT field = ::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && WindowHeight(combo) != at.height; ++attempt) {
        field += at.height - WindowHeight(combo);
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

// Some frames differ from what AdjustWindowRectEx predicts; the client area is what the layout fixes.
void FitClientArea(HWND window, int width, int height)
{
    RECT client{};
    RECT frame{};
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &frame);
    const int wider = width - client.right;
    const int taller = height - client.bottom;
    if (wider != 0 || taller != 0)
        ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + wider, frame.bottom - frame.top + taller,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The form's own child that holds or contains the window (a combo box's edit field, its list).
HWND ChildOf(HWND form, HWND window)
{
    while (window && ::GetParent(window) != form)
        window = ::GetParent(window);
    return window;
}

}  // namespace

Win32Form::Win32Form(const ui::FormLayout& layout, Win32Form* owner, const Screen& screen)
    : m_screen(screen), m_kind(layout.kind)
{
    RegisterFormClass(&WindowProcedure);
    const int clientWidth = PixelsOf(layout.clientWidth, screen.TwipsPerPixelX());
    const int clientHeight = PixelsOf(layout.clientHeight, screen.TwipsPerPixelY());
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, FrameStyle, FALSE, 0);
    const std::string caption(layout.caption);
    m_window.Reset(::CreateWindowExW(0, FormClassName, Widen(caption, Malformed::Refuse).c_str(), FrameStyle,
                                     CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                     owner ? owner->Handle() : nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                     nullptr));
    if (!m_window)
        throw LastSystemError("Cannot create the window \"" + caption + "\"");
    FitClientArea(Handle(), clientWidth, clientHeight);
    CreateControls(layout);
    // Only now do the window's messages reach the form; until here the system's defaults answer them.
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Form::~Win32Form()
{
    if (m_open)
        --openWindows;
    // The window's last messages, while it is destroyed, find no form behind it.
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0);
}

void Win32Form::CreateControls(const ui::FormLayout& layout)
{
    std::vector<CaptionBox> captions;
    for (const ui::ControlLayout& control : layout.controls) {
        const PixelRect at = Pixels(control.at, m_screen);
        if (control.kind == ui::ControlKind::CommandButton ||
            (control.kind == ui::ControlKind::Label && !control.wordWrap))
            captions.push_back({Widen(control.caption, Malformed::Refuse), at.width, at.height,
                                control.kind == ui::ControlKind::CommandButton});
    }
    m_font = CaptionFont(captions, m_screen.TwipsPerPixelY());

    for (const ui::ControlLayout& control : layout.controls) {
        const PixelRect at = Pixels(control.at, m_screen);
        const std::wstring caption = Widen(control.caption, Malformed::Refuse);
        const std::size_t index = m_controls.size();
        HWND child = nullptr;
        View view;
        long role = 0;
        switch (control.kind) {
        case ui::ControlKind::Label:
            // Created just before a combo box, a label stands before it in the windows' order, which is where
            // screen readers look for a combo box's name.
            child = CreateChild(Handle(), L"STATIC", caption, LabelStyle(control), at, index);
            view = std::make_unique<Win32Label>(child);
            role = ROLE_SYSTEM_STATICTEXT;
            break;
        case ui::ControlKind::ComboBox:
            // Unsorted, and typed text never becomes a row.
            child = CreateChild(Handle(), L"COMBOBOX", {}, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                at, index);
            view = std::make_unique<Win32ComboBox>(child);
            role = ROLE_SYSTEM_COMBOBOX;
            break;
        case ui::ControlKind::CommandButton:
            child = CreateChild(Handle(), L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, at, index);
            view = std::make_unique<Win32CommandButton>(child);
            role = ROLE_SYSTEM_PUSHBUTTON;
            break;
        }
        m_controls.push_back({std::string(control.name), child, std::move(view),
                              std::make_unique<AccessibleControl>(
                                  child, Widen(control.accessibleName, Malformed::Refuse), role)});
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
        if (control.kind == ui::ControlKind::ComboBox) {
            FitComboBox(child, at);
            ::SetWindowTextW(child, caption.c_str());
        }
        // Creation order is the tab order; the focus starts in the first control that takes it.
        if (!m_focus && (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
            m_focus = child;
    }
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

bool Win32Form::IsForm(HWND window)
{
    return formClass && ::GetClassWord(window, GCW_ATOM) == formClass;
}

int Win32Form::OpenWindows()
{
    return openWindows;
}

}  // namespace tallyrun
