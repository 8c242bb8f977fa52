#include "app/twips.h"

#include <algorithm>
#include <cmath>

namespace bivane {
namespace {

constexpr double kTwipsPerInch = 1440;
// Far beyond any screen, well inside int: a stored position of 1e30 twips
// must not overflow.
constexpr double kLargestPixels = 1 << 24;

}  // namespace

int TwipsToPixels(double twips, double logicalDpi) {
    const double pixels = std::round(twips * logicalDpi / kTwipsPerInch);
    if (std::isnan(pixels)) {
        return 0;
    }
    return static_cast<int>(std::clamp(pixels, -kLargestPixels, kLargestPixels));
}

double PixelsToTwips(int pixels, double logicalDpi) {
    return static_cast<double>(pixels) * kTwipsPerInch / logicalDpi;
}

}  // namespace bivane
