// The floor Tallyrun.exe's start-up is measured against under Wine: an empty Win32 window with the main window's
// frame and client size, no controls, no icon, built with the same toolchain and flags.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain()
{
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    if (!::RegisterClassExW(&windowClass))
        return 1;
    RECT frame{0, 0, 402, 143};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Tallyrun", style, CW_USEDEFAULT,
                                          CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                          nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOW);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
