#include "platform/win32/caption_font.h"

#include "base/error.h"

#include <cmath>

namespace tallyrun {

namespace {

// Room a push button's frame and margins take from its caption, in pixels.
constexpr int ButtonChrome = 8;
// The smallest character height the captions are shrunk to, in pixels.
constexpr LONG SmallestHeight = 8;

LOGFONTW MessageFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return metrics.lfMessageFont;
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

bool Fits(HDC dc, std::span<const CaptionBox> captions)
{
    for (const CaptionBox& caption : captions) {
        SIZE size{};
        if (!::GetTextExtentPoint32W(dc, caption.text.c_str(), static_cast<int>(caption.text.size()), &size))
            return true;  // nothing measured, nothing to shrink for
        if (caption.button ? size.cx + ButtonChrome > caption.width
                           : size.cx > caption.width || size.cy > caption.height)
            return false;
    }
    return true;
}

}  // namespace

UniqueFont CaptionFont(std::span<const CaptionBox> captions, float twipsPerPixelY)
{
    LOGFONTW font = MessageFont();
    const ScreenDc screen;
    const int systemDotsPerInch = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    if (systemDotsPerInch > 0)
        font.lfHeight = std::lround(font.lfHeight * (1440.0 / twipsPerPixelY) / systemDotsPerInch);
    for (;;) {
        UniqueFont candidate(::CreateFontIndirectW(&font));
        if (!candidate)
            throw Error(ERROR_NOT_ENOUGH_MEMORY, "The system made no font for the window's controls");
        // A height of 0 leaves the size to the system, and nothing is known to shrink from.
        const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        if (!screen.Get() || height <= SmallestHeight)
            return candidate;
        const HGDIOBJ previous = ::SelectObject(screen.Get(), candidate.Get());
        const bool fits = Fits(screen.Get(), captions);
        ::SelectObject(screen.Get(), previous);
        if (fits)
            return candidate;
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
    }
}

}  // namespace tallyrun
