#include "clsContextMenuTaskList.h"

#include "DeskMessages.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "frmMain.h"
#include "frmTaskListModify.h"

#include <QAction>
#include <QTreeWidget>

clsContextMenuTaskList::clsContextMenuTaskList(frmMain &window,
                                               adoTaskList &tasks,
                                               clsControlTaskList &taskView)
    : ListContextMenu(window.lvwTaskList(), window.mnuTaskList(),
                      {window.mnuTaskListModify(), window.mnuTaskListDelete(),
                       window.mnuTaskListDeleteAll()}),
      m_lvwTaskList(window.lvwTaskList()), m_frmMain(&window),
      m_mnuTaskListModify(window.mnuTaskListModify()),
      m_mnuTaskListDelete(window.mnuTaskListDelete()),
      m_mnuTaskListDeleteAll(window.mnuTaskListDeleteAll()),
      taskView_(taskView), tasks_(tasks) {
    connect(m_mnuTaskListModify, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListModify_Click);
    connect(m_mnuTaskListDelete, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListDelete_Click);
    connect(m_mnuTaskListDeleteAll, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListDeleteAll_Click);
}

void clsContextMenuTaskList::showModifyDialog() {
    if (m_lvwTaskList->selectedItems().isEmpty())
        return;
    frmTaskListModify dialog(taskView_, tasks_, m_frmMain);
    dialog.exec();
}

void clsContextMenuTaskList::m_lvwTaskList_DblClick() {
    guard(QStringLiteral("clsContextMenuTaskList.m_lvwTaskList_DblClick"), [&] {
        if (m_lvwTaskList->topLevelItemCount() > 0)
            showModifyDialog();
    });
}

bool clsContextMenuTaskList::m_lvwTaskList_KeyDown(
    int keyCode, Qt::KeyboardModifiers shift) {
    const bool enter = keyCode == Qt::Key_Return || keyCode == Qt::Key_Enter;
    if ((!enter && keyCode != Qt::Key_Delete) ||
        (shift & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    bool selected = false;
    guard(QStringLiteral("clsContextMenuTaskList.m_lvwTaskList_KeyDown"),
          [&] { selected = selectCurrentRow(); });
    if (selected) {
        if (enter)
            m_mnuTaskListModify_Click();
        else
            m_mnuTaskListDelete_Click();
    }
    return true;
}

void clsContextMenuTaskList::m_lvwTaskList_MouseUp(Qt::MouseButton button,
                                                   Qt::KeyboardModifiers,
                                                   QPoint position) {
    guard(QStringLiteral("clsContextMenuTaskList.m_lvwTaskList_MouseUp"),
          [&] { enableItemsAndPopUp(button, position); });
}

void clsContextMenuTaskList::m_mnuTaskListModify_Click() {
    guard(QStringLiteral("clsContextMenuTaskList.m_mnuTaskListModify_Click"),
          [&] { showModifyDialog(); });
}

void clsContextMenuTaskList::m_mnuTaskListDelete_Click() {
    guard(QStringLiteral("clsContextMenuTaskList.m_mnuTaskListDelete_Click"),
          [&] {
              const int id = taskView_.KeyValue();
              tasks_.Delete(id);
              taskView_.Delete(id);
              if (!m_lvwTaskList->selectedItems().isEmpty())
                  taskView_.MoveTo(taskView_.KeyValue());
          });
}

void clsContextMenuTaskList::m_mnuTaskListDeleteAll_Click() {
    guard(QStringLiteral("clsContextMenuTaskList.m_mnuTaskListDeleteAll_Click"),
          [&] {
              tasks_.DeleteAll();
              taskView_.Refresh();
          });
}
