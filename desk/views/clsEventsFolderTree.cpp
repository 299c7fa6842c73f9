#include "clsEventsFolderTree.h"

#include "DeskMessages.h"
#include "DeskObjects.h"
#include "FolderTreeControl.h"
#include "adoFileList.h"
#include "clsControlFileList.h"
#include "frmMain.h"

clsEventsFolderTree::clsEventsFolderTree(frmMain &window)
    : m_ctlFolderTree(window.ctlFolderTree()) {
    connect(m_ctlFolderTree, &FolderTreeControl::SelectionChanged, this,
            &clsEventsFolderTree::m_ctlFolderTree_SelectionChanged);
}

void clsEventsFolderTree::m_ctlFolderTree_SelectionChanged() {
    guard(QString(), [&] {
        DeskObjects *objects = DeskObjects::current();
        if (!objects)
            return;
        // First the store, then the view.
        if (objects->fileList)
            objects->fileList->Refresh(
                m_ctlFolderTree->SelectedFolder().fileSystemPath);
        if (objects->controlFileList)
            objects->controlFileList->Refresh();
    });
}
