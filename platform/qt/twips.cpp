#include "platform/qt/twips.h"

#include "platform/core/error.h"

#include <cmath>
#include <limits>

namespace tallyrun {

int TwipsToPixels(double twips, float twipsPerPixel)
{
    const double pixels = std::round(twips / static_cast<double>(twipsPerPixel));
    if (!std::isfinite(pixels) || pixels < std::numeric_limits<int>::min() || pixels > std::numeric_limits<int>::max())
        throw Error(errc::Overflow, "Overflow");
    return static_cast<int>(pixels);
}

}  // namespace tallyrun
