#include "platform/ui/caption_fit.h"

namespace tallyrun::ui {

namespace {

// Room a push button's frame and margins take from its caption, in pixels.
constexpr int ButtonChrome = 8;

bool Fits(const CaptionBox& box, const CaptionExtent& extent)
{
    if (box.button)
        return extent.width + ButtonChrome <= box.width;
    return extent.width <= box.width && extent.height <= box.height;
}

bool AllFit(double size, std::span<const CaptionBox> boxes, const MeasureCaptions& measure)
{
    const std::optional<std::vector<CaptionExtent>> extents = measure(size);
    if (!extents)
        return true;  // nothing measured, nothing to shrink for
    for (std::size_t index = 0; index < boxes.size(); ++index) {
        if (!Fits(boxes[index], extents->at(index)))
            return false;
    }
    return true;
}

}  // namespace

double FittedFontSize(double size, FontSteps steps, std::span<const CaptionBox> boxes, const MeasureCaptions& measure)
{
    while (size > steps.smallest && !AllFit(size, boxes, measure))
        size -= steps.step;
    return size;
}

}  // namespace tallyrun::ui
