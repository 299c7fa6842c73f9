#pragma once

class QScreen;

// Window and column geometry is kept in twips (1440 to the inch) in the
// designed layout and in the settings store, so that a layout saved at one
// resolution opens at the same physical size at another. These two functions
// are the only place where twips and pixels meet. They use the logical
// resolution of the given screen (the primary screen when none is given; 96
// dots per inch when there is no screen at all).
inline constexpr double kTwipsPerInch = 1440.0;

int twipsToPixels(double twips, const QScreen *screen = nullptr);
double pixelsToTwips(int pixels, const QScreen *screen = nullptr);
