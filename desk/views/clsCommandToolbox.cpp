#include "clsCommandToolbox.h"

#include "DeskMessages.h"
#include "frmMain.h"
#include "frmToolbox.h"
#include "modTransformation.h"

#include <QToolButton>

clsCommandToolbox::clsCommandToolbox(frmMain &window, clsUserSettings &settings)
    : m_frmMain(&window), m_cmdCommandToolbox(window.cmdToolbox()),
      settings_(settings) {
    connect(m_cmdCommandToolbox, &QAbstractButton::clicked, this,
            &clsCommandToolbox::m_cmdCommandToolbox_Click);
}

void clsCommandToolbox::m_cmdCommandToolbox_Click() {
    guard(QString(), [&] {
        // The Toolbox shows the datum change the next Start will take.
        modTransformation::ReportUnreadable(
            m_frmMain ? m_frmMain->CheckTransformation()
                      : modTransformation::Check());
        frmToolbox dialog(settings_, m_frmMain);
        dialog.exec();
    });
}
