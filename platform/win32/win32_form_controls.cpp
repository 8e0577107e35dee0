// A form's window and its controls made from the layout: the window class, the controls at their pixels, the
// fitted font, the names screen readers hear.
#include "platform/win32/win32_form.h"

#include "platform/core/error.h"
#include "platform/core/windows/system_message.h"
#include "platform/core/windows/utf16_text.h"
#include "platform/ui/twips.h"
#include "platform/win32/caption_font.h"

#include <commctrl.h>
#include <oleacc.h>

namespace tallyrun {

namespace {

// A caption and a system menu with its close box; neither minimise nor maximise box, nor a sizing border.
constexpr DWORD FrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Above IDOK and IDCANCEL, which the dialog keys send.
constexpr int FirstControlId = 100;
// Rows a combo box's drop-down list shows before it scrolls.
constexpr int VisibleListRows = 8;
// The icon of tallyrun.rc; without it (as in test programmes) the system's application icon.
constexpr wchar_t ApplicationIconName[] = L"IDI_APPLICATION_ICON";
constexpr wchar_t FormClassName[] = L"TallyrunForm";

ATOM formClass = 0;

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

}  // namespace

Win32Form::Win32Form(const ui::FormLayout& layout, Win32Form* owner, const Screen& screen)
    : m_screen(screen), m_kind(layout.kind), m_waits(layout.waits)
{
    RegisterFormClass(&WindowProcedure);
    const int clientWidth = PixelsOf(layout.clientWidth, screen.TwipsPerPixelX());
    const int clientHeight = PixelsOf(layout.clientHeight, screen.TwipsPerPixelY());
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, FrameStyle, FALSE, 0);
    const std::string caption(layout.caption);
    m_window.reset(::CreateWindowExW(0, FormClassName, Widen(caption).c_str(), FrameStyle, CW_USEDEFAULT,
                                     CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                     owner ? owner->Handle() : nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                     nullptr));
    if (!m_window)
        throw LastSystemError("Cannot create the window \"" + caption + "\"");
    FitClientArea(Handle(), clientWidth, clientHeight);
    CreateControls(layout);
    // Only now do the window's messages reach the form; until here the system's defaults answer them.
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Win32Form::CreateControls(const ui::FormLayout& layout)
{
    std::vector<CaptionToFit> captions;
    for (const ui::ControlLayout& control : layout.controls) {
        const PixelRect at = Pixels(control.at, m_screen);
        if (control.kind == ui::ControlKind::CommandButton ||
            (control.kind == ui::ControlKind::Label && !control.wordWrap))
            captions.push_back({Widen(control.caption),
                                {at.width, at.height, control.kind == ui::ControlKind::CommandButton}});
    }
    m_font = CaptionFont(captions, m_screen.TwipsPerPixelY());

    for (const ui::ControlLayout& control : layout.controls) {
        const PixelRect at = Pixels(control.at, m_screen);
        const std::wstring caption = Widen(control.caption);
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
                              std::make_unique<AccessibleControl>(child, Widen(control.accessibleName), role)});
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        if (control.kind == ui::ControlKind::ComboBox) {
            FitComboBox(child, at);
            ::SetWindowTextW(child, caption.c_str());
        }
        // Creation order is the tab order; the focus starts in the first control that takes it.
        if (!m_focus && (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
            m_focus = child;
    }
}

bool Win32Form::IsForm(HWND window)
{
    return formClass && ::GetClassWord(window, GCW_ATOM) == formClass;
}

}  // namespace tallyrun
