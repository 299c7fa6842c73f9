#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class clsUserSettings;
class frmMain;

// The Toolbox button: a click shows the Toolbox dialog modally.
class clsCommandToolbox : public QObject {
    Q_OBJECT
  public:
    clsCommandToolbox(frmMain &window, clsUserSettings &settings);

  private:
    void m_cmdCommandToolbox_Click();

    QPointer<frmMain> m_frmMain;
    QPointer<QAbstractButton> m_cmdCommandToolbox;
    clsUserSettings &settings_;
};
