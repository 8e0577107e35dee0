#include "platform/qt/caption_fit.h"

#include "platform/ui/caption_fit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace tallyrun {

namespace {

// Qt's fonts have a point size, or a pixel size when made so.
constexpr ui::FontSteps PointSteps{0.5, 6};
constexpr ui::FontSteps PixelSteps{1, 8};

void SetSize(QFont& font, double size)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(size);
    else
        font.setPixelSize(static_cast<int>(size));
}

}  // namespace

void FitFontToCaptions(QWidget& form, QFont font, const std::vector<const QLabel*>& labels,
                       const std::vector<const QPushButton*>& buttons)
{
    std::vector<ui::CaptionBox> boxes;
    std::vector<QString> captions;
    for (const QLabel* label : labels) {
        boxes.push_back({label->width(), label->height(), false});
        captions.push_back(label->text());
    }
    for (const QPushButton* button : buttons) {
        boxes.push_back({button->width(), button->height(), true});
        captions.push_back(button->text());
    }
    const auto measure = [&](double size) {
        QFont candidate = font;
        SetSize(candidate, size);
        const QFontMetrics metrics(candidate);
        std::vector<ui::CaptionExtent> extents;
        for (const QString& caption : captions)
            extents.push_back({metrics.horizontalAdvance(caption), metrics.height()});
        return std::optional(extents);
    };
    const bool points = font.pointSizeF() > 0;
    SetSize(font, ui::FittedFontSize(points ? font.pointSizeF() : font.pixelSize(), points ? PointSteps : PixelSteps,
                                     boxes, measure));
    form.setFont(font);
}

}  // namespace tallyrun
