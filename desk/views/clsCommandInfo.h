#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class frmMain;

// The Info button: a click shows the info dialog modally.
class clsCommandInfo : public QObject {
    Q_OBJECT
  public:
    explicit clsCommandInfo(frmMain &window);

  private:
    void m_cmdCommandInfo_Click();

    QPointer<frmMain> m_frmMain;
    QPointer<QAbstractButton> m_cmdCommandInfo;
};
