// Owners of the window system's handles the toolkit creates, each released exactly once with its owner.
#pragma once

#include "base/unique_resource.h"

#include <windows.h>

namespace tallyrun {

// A window and, with it, its child windows.
inline void DestroyWindowOf(HWND window) noexcept { ::DestroyWindow(window); }
using UniqueWindow = UniqueResource<HWND, DestroyWindowOf>;

inline void DeleteFontObject(HFONT font) noexcept { ::DeleteObject(font); }
using UniqueFont = UniqueResource<HFONT, DeleteFontObject>;

// The screen's device context, for reading its resolution and measuring text.
inline void ReleaseScreenDc(HDC dc) noexcept { ::ReleaseDC(nullptr, dc); }
class ScreenDc : public UniqueResource<HDC, ReleaseScreenDc> {
public:
    ScreenDc() : UniqueResource(::GetDC(nullptr)) {}
};

}  // namespace tallyrun
