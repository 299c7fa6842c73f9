#pragma once

// What the two screenshot programs share: the start of the program, the
// window shown on the X server, the screen saved as a picture and colours
// looked for in it.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <cstdio>

namespace ScreenShot {

// False (after the usage line) when no picture file was named.
inline bool haveArguments(int argc, const char *program) {
    if (argc >= 2)
        return true;
    std::fprintf(stderr, "usage: %s <picture.png>\n", program);
    return false;
}

// Shows and activates the window and waits until it is on the screen.
inline bool show(QWidget &window) {
    window.show();
    window.activateWindow();
    if (QTest::qWaitForWindowExposed(&window))
        return true;
    std::fprintf(stderr, "the window was not shown\n");
    return false;
}

// The whole screen, saved to the file; a null picture when it cannot be
// written.
inline QImage saveScreen(const char *file) {
    const QImage screen =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    if (screen.save(QString::fromLocal8Bit(file)))
        return screen;
    std::fprintf(stderr, "cannot write %s\n", file);
    return {};
}

// True when a pixel inside the rectangle of the picture has the colour.
template <class Colour>
bool shows(const QImage &picture, const QRect &area, Colour isWanted) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isWanted(picture.pixelColor(x, y)))
                return true;
    return false;
}

inline bool isStrongGreen(const QColor &colour) {
    return colour.green() > 110 && colour.red() < 60 && colour.blue() < 60;
}

inline bool isStrongRed(const QColor &colour) {
    return colour.red() > 180 && colour.green() < 80 && colour.blue() < 80;
}

} // namespace ScreenShot
