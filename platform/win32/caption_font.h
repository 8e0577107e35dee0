// The font of a form's controls: the system's message font, shrunk until the one-line captions fit their controls.
#pragma once

#include "platform/ui/caption_fit.h"
#include "platform/win32/win32_handles.h"

#include <span>
#include <string>

namespace tallyrun {

struct CaptionToFit {
    std::wstring text;
    ui::CaptionBox box;
};

// The system's font is drawn for the system's dots per inch; laid out at another twips per pixel, it is grown or
// shrunk to match first, then shrunk by the rule every toolkit shares (ui::FittedFontSize). Raises an Error when
// the system makes no font.
UniqueFont CaptionFont(std::span<const CaptionToFit> captions, float twipsPerPixelY);

}  // namespace tallyrun
