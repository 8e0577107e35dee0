// Converting between pixels and twips at a screen's twips-per-pixel factor: the one conversion every toolkit and
// the centring procedures use.
#pragma once

#include <cstdint>

namespace tallyrun {

// A pixel count as twips, exactly as single precision holds the product; what a form reports of its frame.
float TwipsOf(int pixels, float twipsPerPixel);

// A pixel count as whole twips. Raises an Error (errc::Overflow) when the product is not finite or does not fit.
std::int32_t WholeTwipsOf(std::int32_t pixels, float twipsPerPixel);

// Twips as whole pixels. Raises an Error (errc::Overflow) when the result is not finite or does not fit an int.
int PixelsOf(double twips, float twipsPerPixel);

// Both whole-number conversions round to the nearest whole number, a half going to the even neighbour, whatever
// the floating-point environment's current mode.

}  // namespace tallyrun
