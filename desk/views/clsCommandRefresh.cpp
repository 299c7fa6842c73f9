#include "clsCommandRefresh.h"

#include "DeskMessages.h"
#include "FolderTreeControl.h"
#include "frmMain.h"

#include <QToolButton>

clsCommandRefresh::clsCommandRefresh(frmMain &window)
    : m_cmdCommandRefresh(window.cmdRefresh()),
      m_ctlFolderTree(window.ctlFolderTree()) {
    connect(m_cmdCommandRefresh, &QToolButton::clicked, this,
            &clsCommandRefresh::m_cmdCommandRefresh_Click);
    connect(m_ctlFolderTree, &FolderTreeControl::Filled, this,
            &clsCommandRefresh::m_ctlFolderTree_Filled);
}

void clsCommandRefresh::m_cmdCommandRefresh_Click() {
    guard(QString(), [&] {
        strFolderPath_ = m_ctlFolderTree->SelectedFolder().path;
        m_ctlFolderTree->Clear();
        m_ctlFolderTree->Fill();
    });
}

void clsCommandRefresh::m_ctlFolderTree_Filled() {
    guard(QString(), [&] { m_ctlFolderTree->SelectFolder(strFolderPath_); });
}
