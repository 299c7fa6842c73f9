#pragma once

#include "ListContextMenu.h"

#include <QPoint>
#include <QPointer>

class QAction;
class QMenu;
class QTreeWidget;
class adoTaskList;
class clsControlTaskList;
class frmMain;

// The mouse on the task list view: a double click opens the modify dialog, a
// released right button opens the context menu mnuTaskList ("Modify",
// "Delete", "Delete All"), whose items are enabled only while the view has
// rows. From the keyboard, Enter opens the modify dialog and Delete deletes
// the task the keyboard stands on. Each handler reports its failures with
// its own caption.
class clsContextMenuTaskList : public ListContextMenu {
    Q_OBJECT
  public:
    // Serves lvwTaskList and mnuTaskList of the window.
    clsContextMenuTaskList(frmMain &window, adoTaskList &tasks,
                           clsControlTaskList &taskView);

    void m_lvwTaskList_DblClick();
    // Enter: Modify; Delete: Delete; true when taken.
    bool m_lvwTaskList_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void m_lvwTaskList_MouseUp(Qt::MouseButton button,
                               Qt::KeyboardModifiers shift, QPoint position);
    void m_mnuTaskListModify_Click();
    void m_mnuTaskListDelete_Click();
    void m_mnuTaskListDeleteAll_Click();

  private:
    void listDoubleClicked() override { m_lvwTaskList_DblClick(); }
    void listMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                     QPoint position) override {
        m_lvwTaskList_MouseUp(button, shift, position);
    }
    bool listKeyDown(int key, Qt::KeyboardModifiers shift) override {
        return m_lvwTaskList_KeyDown(key, shift);
    }

    // The modify dialog for the selected task; nothing when no row is
    // selected, so that no other task can be changed.
    void showModifyDialog();

    QPointer<QTreeWidget> m_lvwTaskList;
    QPointer<frmMain> m_frmMain;
    QPointer<QAction> m_mnuTaskListModify;
    QPointer<QAction> m_mnuTaskListDelete;
    QPointer<QAction> m_mnuTaskListDeleteAll;
    clsControlTaskList &taskView_;
    adoTaskList &tasks_;
};
