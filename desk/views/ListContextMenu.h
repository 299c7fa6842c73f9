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
//
// From the keyboard: the menu key and Shift+F10 open the menu at the
// current row (by the same rule), and the subclass sees every other key
// pressed on the list first (Enter for the double click, Delete).
class ListContextMenu : public QObject {
    Q_OBJECT
  protected:
    ListContextMenu(QTreeWidget *view, QMenu *menu,
                    const QList<QAction *> &items);

    virtual void listDoubleClicked() = 0;
    virtual void listMouseUp(Qt::MouseButton button,
                             Qt::KeyboardModifiers shift, QPoint position) = 0;
    // A key pressed on the list; true when the subclass took it.
    virtual bool listKeyDown(int key, Qt::KeyboardModifiers shift) = 0;

    // The release's rule, for the subclass's handler.
    void enableItemsAndPopUp(Qt::MouseButton button, QPoint position);
    // A current row that is not selected becomes selected, as a click on it
    // would select it; true when a row is selected then. Keys act on the
    // row the keyboard stands on.
    bool selectCurrentRow();

    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // The menu key's menu, below the current row (the top of the list when
    // there is none).
    void popUpAtCurrentRow();

    QPointer<QTreeWidget> view_;
    QPointer<QMenu> menu_;
    QList<QPointer<QAction>> items_;
};
