#include "platform/qt/caption_fit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace tallyrun {

namespace {

// Room a push button's frame and margins take from its caption, in pixels.
constexpr int ButtonChrome = 8;
// The smallest font the captions are shrunk to.
constexpr qreal SmallestPointSize = 6;
constexpr int SmallestPixelSize = 8;

}  // namespace

void FitFontToCaptions(QWidget& form, QFont candidate, const std::vector<const QLabel*>& labels,
                       const std::vector<const QPushButton*>& buttons)
{
    const auto fits = [&](const QFont& font) {
        const QFontMetrics metrics(font);
        for (const QLabel* label : labels) {
            if (metrics.horizontalAdvance(label->text()) > label->width() || metrics.height() > label->height())
                return false;
        }
        for (const QPushButton* button : buttons) {
            if (metrics.horizontalAdvance(button->text()) + ButtonChrome > button->width())
                return false;
        }
        return true;
    };

    while (!fits(candidate)) {
        if (candidate.pointSizeF() > 0) {
            if (candidate.pointSizeF() <= SmallestPointSize)
                break;
            candidate.setPointSizeF(candidate.pointSizeF() - 0.5);
        } else {
            if (candidate.pixelSize() <= SmallestPixelSize)
                break;
            candidate.setPixelSize(candidate.pixelSize() - 1);
        }
    }
    form.setFont(candidate);
}

}  // namespace tallyrun
