#include "clsCommandInfo.h"

#include "DeskMessages.h"
#include "frmInfo.h"
#include "frmMain.h"

#include <QToolButton>

clsCommandInfo::clsCommandInfo(frmMain &window)
    : m_frmMain(&window), m_cmdCommandInfo(window.cmdInfo()) {
    connect(m_cmdCommandInfo, &QAbstractButton::clicked, this,
            &clsCommandInfo::m_cmdCommandInfo_Click);
}

void clsCommandInfo::m_cmdCommandInfo_Click() {
    guard(QString(), [&] {
        frmInfo dialog(m_frmMain);
        dialog.exec();
    });
}
