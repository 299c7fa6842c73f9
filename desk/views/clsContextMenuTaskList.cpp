#include "clsContextMenuTaskList.h"

#include "DeskMessages.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "frmMain.h"
#include "frmTaskListModify.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

clsContextMenuTaskList::clsContextMenuTaskList(frmMain &window,
                                               adoTaskList &tasks,
                                               clsControlTaskList &taskView)
    : m_lvwTaskList(window.lvwTaskList()), m_frmMain(&window),
      m_mnuTaskList(window.mnuTaskList()),
      m_mnuTaskListModify(window.mnuTaskListModify()),
      m_mnuTaskListDelete(window.mnuTaskListDelete()),
      m_mnuTaskListDeleteAll(window.mnuTaskListDeleteAll()),
      taskView_(taskView), tasks_(tasks) {
    // The view's mouse events arrive at its viewport.
    m_lvwTaskList->viewport()->installEventFilter(this);
    connect(m_mnuTaskListModify, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListModify_Click);
    connect(m_mnuTaskListDelete, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListDelete_Click);
    connect(m_mnuTaskListDeleteAll, &QAction::triggered, this,
            &clsContextMenuTaskList::m_mnuTaskListDeleteAll_Click);
}

clsContextMenuTaskList::~clsContextMenuTaskList() {
    if (m_lvwTaskList)
        m_lvwTaskList->viewport()->removeEventFilter(this);
    for (QAction *item :
         {m_mnuTaskListModify, m_mnuTaskListDelete, m_mnuTaskListDeleteAll})
        if (item)
            disconnect(item, nullptr, this, nullptr);
}

bool clsContextMenuTaskList::eventFilter(QObject *watched, QEvent *event) {
    if (m_lvwTaskList && watched == m_lvwTaskList->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            m_lvwTaskList_DblClick();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_lvwTaskList_MouseUp(mouse->button(), mouse->modifiers(),
                                  mouse->position().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
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

void clsContextMenuTaskList::m_lvwTaskList_MouseUp(Qt::MouseButton button,
                                                   Qt::KeyboardModifiers,
                                                   QPoint position) {
    guard(QStringLiteral("clsContextMenuTaskList.m_lvwTaskList_MouseUp"), [&] {
        const bool hasRows = m_lvwTaskList->topLevelItemCount() > 0;
        m_mnuTaskListModify->setEnabled(hasRows);
        m_mnuTaskListDelete->setEnabled(hasRows);
        m_mnuTaskListDeleteAll->setEnabled(hasRows);
        if (button == Qt::RightButton)
            m_mnuTaskList->popup(
                m_lvwTaskList->viewport()->mapToGlobal(position));
    });
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
