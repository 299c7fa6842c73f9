#include "clsControlSplitter.h"

#include "DeskMessages.h"
#include "FolderTreeControl.h"
#include "SplitterControl.h"
#include "Twips.h"
#include "WindowEvents.h"
#include "clsUserSettings.h"
#include "frmMain.h"

#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

clsControlSplitter::clsControlSplitter(frmMain &window)
    : m_frmMain(&window),
      ctlSplitterHorizontal_(window.ctlSplitterHorizontal()),
      ctlSplitterVertical_(window.ctlSplitterVertical()),
      ctlFolderTree_(window.ctlFolderTree()),
      lvwFileList_(window.lvwFileList()), lvwTaskList_(window.lvwTaskList()),
      tlbToolbar_(window.tlbToolbar()), staStatusBar_(window.staStatusBar()) {
    subscribeToWindow(m_frmMain, this);
}

void clsControlSplitter::m_frmMain_Load() {
    guard(QString(), [&] {
        // The panes are given their controls before any stored position is
        // read, so that a bad stored value costs only the positions and not
        // the layout of the window.
        using Orientation = SplitterControl::Orientation;
        using Docking = SplitterControl::Docking;
        ctlSplitterHorizontal_->setBarOrientation(
            Orientation::BarBetweenTopAndBottom);
        ctlSplitterHorizontal_->setDocking(Docking::Top);
        ctlSplitterHorizontal_->setBarPosition(
            clsUserSettings::kDefaultSplitterPosHorizontal);
        ctlSplitterHorizontal_->setFirstPane(ctlSplitterVertical_);
        ctlSplitterHorizontal_->setSecondPane(lvwTaskList_);

        ctlSplitterVertical_->setBarOrientation(
            Orientation::BarBetweenLeftAndRight);
        ctlSplitterVertical_->setDocking(Docking::None);
        ctlSplitterVertical_->setBarPosition(
            clsUserSettings::kDefaultSplitterPosVertical);
        ctlSplitterVertical_->setFirstPane(ctlFolderTree_);
        ctlSplitterVertical_->setSecondPane(lvwFileList_);

        ctlSplitterHorizontal_->setBarPosition(clsUserSettings::readWholeNumber(
            clsUserSettings::kKeySplitterPosHorizontal,
            clsUserSettings::kDefaultSplitterPosHorizontal));
        ctlSplitterVertical_->setBarPosition(clsUserSettings::readWholeNumber(
            clsUserSettings::kKeySplitterPosVertical,
            clsUserSettings::kDefaultSplitterPosVertical));
    });
}

void clsControlSplitter::m_frmMain_Resize() {
    guard(QString(), [&] {
        if (m_frmMain->isMinimized())
            return;
        const double H = pixelsToTwips(m_frmMain->height()) -
                         pixelsToTwips(tlbToolbar_->height()) -
                         pixelsToTwips(staStatusBar_->height());
        if (H <= 0)
            return;
        ctlSplitterHorizontal_->setHeight(twipsToPixels(H));
    });
}

void clsControlSplitter::m_frmMain_Unload() {
    guard(QString(), [&] {
        clsUserSettings::writeWholeNumber(
            clsUserSettings::kKeySplitterPosVertical,
            ctlSplitterVertical_->barPosition());
        clsUserSettings::writeWholeNumber(
            clsUserSettings::kKeySplitterPosHorizontal,
            ctlSplitterHorizontal_->barPosition());
    });
}
