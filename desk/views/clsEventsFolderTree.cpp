#include "clsEventsFolderTree.h"

#include "DeskMessages.h"
#include "FolderTreeControl.h"
#include "adoFileList.h"
#include "clsControlFileList.h"
#include "frmMain.h"

clsEventsFolderTree::clsEventsFolderTree(frmMain &window, adoFileList &files,
                                         clsControlFileList &fileView)
    : m_ctlFolderTree(window.ctlFolderTree()), files_(files),
      fileView_(fileView) {
    connect(m_ctlFolderTree, &FolderTreeControl::SelectionChanged, this,
            &clsEventsFolderTree::m_ctlFolderTree_SelectionChanged);
}

void clsEventsFolderTree::m_ctlFolderTree_SelectionChanged() {
    guard(QString(), [&] {
        if (!m_ctlFolderTree)
            return;
        // First the store, then the view.
        files_.Refresh(m_ctlFolderTree->SelectedFolder().fileSystemPath);
        fileView_.Refresh();
    });
}
