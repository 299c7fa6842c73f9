#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {
constexpr double kFallbackDotsPerInch = 96.0;

double dotsPerInch(const QScreen *screen) {
    if (!screen &&
        qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return kFallbackDotsPerInch;
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? dpi : kFallbackDotsPerInch;
}
} // namespace

int twipsToPixels(double twips, const QScreen *screen) {
    return static_cast<int>(
        std::lround(twips * dotsPerInch(screen) / kTwipsPerInch));
}

double pixelsToTwips(int pixels, const QScreen *screen) {
    return pixels * kTwipsPerInch / dotsPerInch(screen);
}
