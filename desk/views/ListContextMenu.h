#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QAction;
class QMenu;
class QTreeWidget;

// What the context menus of the file list and the task list share
// (clsContextMenuFileList, clsContextMenuTaskList): the list's double click
// and mouse-button release reach the handlers of the subclass, and the
// release's rule: the menu's items are enabled while the list has rows,
// and the right button opens the menu at the mouse.
class ListContextMenu : public QObject {
    Q_OBJECT
  protected:
    ListContextMenu(QTreeWidget *view, QMenu *menu,
                    const QList<QAction *> &items);

    virtual void listDoubleClicked() = 0;
    virtual void listMouseUp(Qt::MouseButton button,
                             Qt::KeyboardModifiers shift, QPoint position) = 0;

    // The release's rule, for the subclass's handler.
    void enableItemsAndPopUp(Qt::MouseButton button, QPoint position);

    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QPointer<QTreeWidget> view_;
    QPointer<QMenu> menu_;
    QList<QPointer<QAction>> items_;
};
