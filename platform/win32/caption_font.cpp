#include "platform/win32/caption_font.h"

#include "platform/core/error.h"

#include <cmath>

namespace tallyrun {

namespace {

// Character heights in pixels, shrunk no smaller than this.
constexpr ui::FontSteps HeightSteps{1, 8};

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

UniqueFont MakeFont(const LOGFONTW& font)
{
    UniqueFont made(::CreateFontIndirectW(&font));
    if (!made)
        throw Error(ERROR_NOT_ENOUGH_MEMORY, "The system made no font for the window's controls");
    return made;
}

std::optional<std::vector<ui::CaptionExtent>> Measure(HDC dc, HFONT font, std::span<const CaptionToFit> captions)
{
    const HGDIOBJ previous = ::SelectObject(dc, font);
    std::vector<ui::CaptionExtent> extents;
    for (const CaptionToFit& caption : captions) {
        SIZE size{};
        if (!::GetTextExtentPoint32W(dc, caption.text.c_str(), static_cast<int>(caption.text.size()), &size))
            break;
        extents.push_back({size.cx, size.cy});
    }
    ::SelectObject(dc, previous);
    if (extents.size() != captions.size())
        return std::nullopt;
    return extents;
}

}  // namespace

UniqueFont CaptionFont(std::span<const CaptionToFit> captions, float twipsPerPixelY)
{
    LOGFONTW font = MessageFont();
    const ScreenDc screen;
    const int systemDotsPerInch = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    if (systemDotsPerInch > 0)
        font.lfHeight = std::lround(font.lfHeight * (1440.0 / twipsPerPixelY) / systemDotsPerInch);
    // A negative height is the characters', a positive one the cells'; 0 leaves the size to the system, and nothing
    // is known to shrink from.
    const LONG sign = font.lfHeight < 0 ? -1 : 1;
    std::vector<ui::CaptionBox> boxes;
    for (const CaptionToFit& caption : captions)
        boxes.push_back(caption.box);
    const auto measure = [&](double height) -> std::optional<std::vector<ui::CaptionExtent>> {
        if (!screen.Get())
            return std::nullopt;
        LOGFONTW candidate = font;
        candidate.lfHeight = sign * static_cast<LONG>(height);
        return Measure(screen.Get(), MakeFont(candidate).get(), captions);
    };
    font.lfHeight = sign * static_cast<LONG>(ui::FittedFontSize(sign * font.lfHeight, HeightSteps, boxes, measure));
    return MakeFont(font);
}

}  // namespace tallyrun
