// The font of a form's controls: the system's message font, shrunk until the one-line captions fit their controls.
#pragma once

#include "platform/win32/win32_handles.h"

#include <span>
#include <string>

namespace tallyrun {

struct CaptionBox {
    std::wstring text;
    int width, height;  // pixels
    bool button;        // a push button's frame takes room from its caption
};

// The layouts' twips were drawn for a small system font; where the desktop's font is larger, the form's font is
// shrunk rather than clip the captions. The system's font is drawn for the system's dots per inch; laid out at
// another twips per pixel, it is grown or shrunk to match first. Raises an Error when the system makes no font.
UniqueFont CaptionFont(std::span<const CaptionBox> captions, float twipsPerPixelY);

}  // namespace tallyrun
