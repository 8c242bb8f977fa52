#pragma once

namespace bivane {

// Window geometry is designed in twips, 1/1440 inch: 15 twips per pixel at
// 96 logical dots per inch, fewer pixels on a screen with a lower logical
// DPI, more on one with a higher.

// Pixels for `twips` on a screen of `logicalDpi`, to the nearest pixel.
int TwipsToPixels(double twips, double logicalDpi);

// Twips for `pixels` on a screen of `logicalDpi`.
double PixelsToTwips(int pixels, double logicalDpi);

}  // namespace bivane
