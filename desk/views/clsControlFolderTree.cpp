#include "clsControlFolderTree.h"

#include "DeskMessages.h"
#include "FolderTreeControl.h"
#include "WindowEvents.h"
#include "clsUserSettings.h"
#include "frmMain.h"

clsControlFolderTree::clsControlFolderTree(frmMain &window)
    : m_frmMain(&window), m_ctlFolderTree(window.ctlFolderTree()) {
    subscribeToWindow(m_frmMain, this);
    connect(m_ctlFolderTree, &FolderTreeControl::Filled, this,
            &clsControlFolderTree::m_ctlFolderTree_Filled);
}

void clsControlFolderTree::m_frmMain_Load() {
    guard(QString(), [&] {
        FolderTreeControl::DisplayOptions options;
        options.indentationSteps = 1;
        options.showHeader = false;
        options.showHiddenFolders = false;
        options.animated = false;
        options.expandOnDoubleClick = true;
        options.sorted = true;
        m_ctlFolderTree->setDisplayOptions(options);
    });
}

void clsControlFolderTree::m_frmMain_Activate() {
    guard(QString(), [&] { m_ctlFolderTree->Fill(); });
}

void clsControlFolderTree::m_frmMain_QueryUnload() {
    guard(QString(), [&] {
        // A tree that was never filled has no selection to report; writing
        // its empty path would forget the folder of the last session.
        if (m_ctlFolderTree->isFilled())
            clsUserSettings::writeText(
                clsUserSettings::kKeyFolderTreeCurrentPath,
                m_ctlFolderTree->SelectedFolder().path);
        m_ctlFolderTree->Clear();
    });
}

void clsControlFolderTree::m_ctlFolderTree_Filled() {
    guard(QString(), [&] {
        m_ctlFolderTree->SelectFolder(clsUserSettings::readText(
            clsUserSettings::kKeyFolderTreeCurrentPath, QString()));
    });
}
