// Owners of the window system's handles the toolkit creates, each released exactly once with its owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tallyrun {

struct WindowDestroyer {
    void operator()(HWND window) const { ::DestroyWindow(window); }
};
// A window and, with it, its child windows.
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct FontDeleter {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The screen's device context, for reading its resolution and measuring text.
class ScreenDc {
public:
    ScreenDc() : m_dc(::GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (m_dc)
            ::ReleaseDC(nullptr, m_dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

}  // namespace tallyrun
