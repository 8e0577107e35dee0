#include "platform/ui/twips.h"

#include "base/error.h"

#include <cmath>
#include <limits>

namespace tallyrun {

namespace {

double RoundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <class Whole>
Whole WholeNumber(double value)
{
    if (!std::isfinite(value))
        throw Error(errc::Overflow, "Overflow");
    const double rounded = RoundHalfToEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Whole>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Whole>::max()))
        throw Error(errc::Overflow, "Overflow");
    return static_cast<Whole>(rounded);
}

}  // namespace

float TwipsOf(int pixels, float twipsPerPixel)
{
    return static_cast<float>(pixels) * twipsPerPixel;
}

std::int32_t WholeTwipsOf(std::int32_t pixels, float twipsPerPixel)
{
    return WholeNumber<std::int32_t>(static_cast<double>(pixels) * static_cast<double>(twipsPerPixel));
}

int PixelsOf(double twips, float twipsPerPixel)
{
    return WholeNumber<int>(twips / static_cast<double>(twipsPerPixel));
}

}  // namespace tallyrun
