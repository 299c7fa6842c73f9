#include "ListContextMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

ListContextMenu::ListContextMenu(QTreeWidget *view, QMenu *menu,
                                 const QList<QAction *> &items)
    : view_(view), menu_(menu) {
    for (QAction *item : items)
        items_.append(item);
    // The view's mouse events arrive at its viewport, its keys at the view.
    // Qt drops the filters itself when this object goes.
    view_->viewport()->installEventFilter(this);
    view_->installEventFilter(this);
}

bool ListContextMenu::eventFilter(QObject *watched, QEvent *event) {
    if (view_ && watched == view_) {
        if (event->type() == QEvent::ContextMenu &&
            static_cast<QContextMenuEvent *>(event)->reason() ==
                QContextMenuEvent::Keyboard) {
            popUpAtCurrentRow();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Menu ||
                (key->key() == Qt::Key_F10 &&
                 key->modifiers() == Qt::ShiftModifier)) {
                popUpAtCurrentRow();
                return true;
            }
            if (listKeyDown(key->key(), key->modifiers()))
                return true;
        }
    }
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

bool ListContextMenu::selectCurrentRow() {
    if (!view_->selectedItems().isEmpty())
        return true;
    QTreeWidgetItem *current = view_->currentItem();
    if (!current)
        return false;
    current->setSelected(true);
    return true;
}

void ListContextMenu::popUpAtCurrentRow() {
    selectCurrentRow();
    QPoint position; // the viewport's top left
    if (QTreeWidgetItem *current = view_->currentItem()) {
        view_->scrollToItem(current);
        position = view_->visualItemRect(current).bottomLeft();
    }
    enableItemsAndPopUp(Qt::RightButton, position);
}

void ListContextMenu::enableItemsAndPopUp(Qt::MouseButton button,
                                          QPoint position) {
    const bool hasRows = view_->topLevelItemCount() > 0;
    for (QAction *item : items_)
        item->setEnabled(hasRows);
    if (button == Qt::RightButton)
        menu_->popup(view_->viewport()->mapToGlobal(position));
}
