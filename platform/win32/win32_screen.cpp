#include "platform/win32/win32_screen.h"

#include "platform/win32/win32_handles.h"

#include <windows.h>

namespace tallyrun {

namespace {

constexpr float TwipsPerInch = 1440;
constexpr float DefaultTwipsPerPixel = 15;  // 96 dots per inch

float TwipsPerPixel(int axis)
{
    const ScreenDc screen;
    const int dotsPerInch = screen.Get() ? ::GetDeviceCaps(screen.Get(), axis) : 0;
    return dotsPerInch > 0 ? TwipsPerInch / static_cast<float>(dotsPerInch) : DefaultTwipsPerPixel;
}

}  // namespace

float Win32Screen::Width() const
{
    return static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX();
}

float Win32Screen::Height() const
{
    return static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY();
}

float Win32Screen::TwipsPerPixelX() const
{
    return TwipsPerPixel(LOGPIXELSX);
}

float Win32Screen::TwipsPerPixelY() const
{
    return TwipsPerPixel(LOGPIXELSY);
}

bool Win32Screen::QueryWorkArea(WorkAreaRect& rect) const
{
    RECT area{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        return false;
    rect = {area.left, area.top, area.right, area.bottom};
    return true;
}

}  // namespace tallyrun
