#pragma once

#include <QIcon>
#include <QList>

// An image list: icons that controls refer to by their position, counted
// from 1. It shows nothing itself.
class ImageList {
  public:
    void add(const QIcon &icon) { images_.append(icon); }
    int count() const { return static_cast<int>(images_.size()); }
    // The icon at a position from 1 to count(); a null icon elsewhere.
    QIcon image(int position) const { return images_.value(position - 1); }

  private:
    QList<QIcon> images_;
};
