#include "ListContextMenu.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

ListContextMenu::ListContextMenu(QTreeWidget *view, QMenu *menu,
                                 const QList<QAction *> &items)
    : view_(view), menu_(menu) {
    for (QAction *item : items)
        items_.append(item);
    // The view's mouse events arrive at its viewport. Qt drops the filter
    // itself when this object goes.
    view_->viewport()->installEventFilter(this);
}

bool ListContextMenu::eventFilter(QObject *watched, QEvent *event) {
    if (view_ && watched == view_->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            listDoubleClicked();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            listMouseUp(mouse->button(), mouse->modifiers(),
                        mouse->position().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

void ListContextMenu::enableItemsAndPopUp(Qt::MouseButton button,
                                          QPoint position) {
    const bool hasRows = view_->topLevelItemCount() > 0;
    for (QAction *item : items_)
        item->setEnabled(hasRows);
    if (button == Qt::RightButton)
        menu_->popup(view_->viewport()->mapToGlobal(position));
}
