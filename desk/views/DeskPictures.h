#pragma once

#include <QPixmap>

// The desktop's pictures, drawn in code so that they scale with nothing and
// need no image files.
namespace DeskPictures {
// Tool bar buttons, 23 x 22 pixels.
inline constexpr int kToolbarPictureWidth = 23;
inline constexpr int kToolbarPictureHeight = 22;
QPixmap refresh(); // a small window with green circling arrows
QPixmap toolbox(); // a crossed hammer and wrench
QPixmap start();   // a green triangle pointing right
QPixmap info();    // a small window with a blue question mark

// List view icons, 16 x 16 pixels.
inline constexpr int kListIconSize = 16;
QPixmap document();        // plain white document
QPixmap documentChecked(); // document with a red check mark
QPixmap documentWindow();  // document with a small window picture
} // namespace DeskPictures
