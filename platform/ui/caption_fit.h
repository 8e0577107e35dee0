// How far a form's font shrinks so that its one-line captions fit their controls: the same rule for every toolkit,
// which only measures.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tallyrun::ui {

// A control with a one-line caption, in pixels. A push button's frame and margins take room from its caption.
struct CaptionBox {
    int width, height;
    bool button;
};

// A caption measured in a font: its advance and the font's line height, in pixels.
struct CaptionExtent {
    int width, height;
};

// The toolkit's unit of font size (points, pixels, a character height) and how the shrinking walks it.
struct FontSteps {
    double step;
    double smallest;  // shrunk no further once reached
};

// Every caption measured in the font at that size, in the boxes' order; nothing when the toolkit cannot measure,
// which leaves the size as it is.
using MeasureCaptions = std::function<std::optional<std::vector<CaptionExtent>>(double size)>;

// The layouts' twips were drawn for a small system font; where the desktop's font is larger, the font is shrunk
// from `size` a step at a time until every caption fits its box, rather than clip the captions.
double FittedFontSize(double size, FontSteps steps, std::span<const CaptionBox> boxes,
                      const MeasureCaptions& measure);

}  // namespace tallyrun::ui
