#include "platform/qt/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tallyrun {

namespace {

constexpr float TwipsPerInch = 1440;
constexpr float DefaultTwipsPerPixel = 15;  // 96 dots per inch

float TwipsPerPixel(qreal dotsPerInch)
{
    return dotsPerInch > 0 ? TwipsPerInch / static_cast<float>(dotsPerInch) : DefaultTwipsPerPixel;
}

}  // namespace

float QtScreen::Width() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<float>(screen->geometry().width()) * TwipsPerPixelX() : 0;
}

float QtScreen::Height() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<float>(screen->geometry().height()) * TwipsPerPixelY() : 0;
}

float QtScreen::TwipsPerPixelX() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

float QtScreen::TwipsPerPixelY() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

bool QtScreen::QueryWorkArea(WorkAreaRect& rect) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QRect area = screen->availableGeometry();
    rect.left = area.left();
    rect.top = area.top();
    rect.right = area.left() + area.width();
    rect.bottom = area.top() + area.height();
    return true;
}

}  // namespace tallyrun
