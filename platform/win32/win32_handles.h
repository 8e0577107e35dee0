// Owners of the window system's handles the toolkit creates, each released exactly once with its owner.
#pragma once

#include "base/unique_resource.h"

#include <windows.h>

namespace tallyrun {

// A window and, with it, its child windows.
struct WindowTraits {
    using Value = HWND;
    static constexpr Value None = nullptr;
    static void Close(Value window) noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

struct FontTraits {
    using Value = HFONT;
    static constexpr Value None = nullptr;
    static void Close(Value font) noexcept { ::DeleteObject(font); }
};
using UniqueFont = UniqueResource<FontTraits>;

// The screen's device context, for reading its resolution and measuring text.
struct ScreenDcTraits {
    using Value = HDC;
    static constexpr Value None = nullptr;
    static void Close(Value dc) noexcept { ::ReleaseDC(nullptr, dc); }
};
class ScreenDc : public UniqueResource<ScreenDcTraits> {
public:
    ScreenDc() : UniqueResource(::GetDC(nullptr)) {}
};

}  // namespace tallyrun
