#include "clsCommandStart.h"

#include "DeskMessages.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsControlFileList.h"
#include "frmMain.h"
#include "modTransformation.h"

#include <QToolButton>

clsCommandStart::clsCommandStart(frmMain &window, adoTaskList &tasks,
                                 clsControlTaskList &taskView,
                                 adoFileList &files,
                                 clsControlFileList &fileView)
    : m_frmMain(&window), m_cmdCommandStart(window.cmdStart()), tasks_(tasks),
      taskView_(taskView), files_(files), fileView_(fileView) {
    connect(m_cmdCommandStart, &QAbstractButton::clicked, this,
            &clsCommandStart::m_cmdCommandStart_Click);
}

void clsCommandStart::m_cmdCommandStart_Click() {
    guard(QString(), [&] {
        // The run takes the datum change the files give now: a grid
        // installed, removed or damaged since the last look counts.
        const modTransformation::Transformation &transformation =
            m_frmMain ? m_frmMain->CheckTransformation()
                      : modTransformation::Check();
        if (tasks_.Recordset().recordCount() < 1) {
            showPlainMessage(
                tr("Click with right Mouse Button on File List and add Data"));
            return;
        }
        if (transformation.kind == modTransformation::Kind::GridUnreadable) {
            modTransformation::ReportUnreadable(transformation, true);
            return;
        }
        {
            frmCommandStart progress(tasks_, taskView_, m_frmMain, convert_);
            progress.exec();
        }
        files_.Refresh();
        fileView_.Refresh();
    });
}
