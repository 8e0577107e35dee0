// Converting twips to whole pixels at a screen's twips-per-pixel factor.
#pragma once

namespace tallyrun {

// The nearest whole pixel. Raises an Error (errc::Overflow) when the result is not finite or does not fit an int.
int TwipsToPixels(double twips, float twipsPerPixel);

}  // namespace tallyrun
