#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class adoTaskList;
class clsControlTaskList;

// The modal dialog that changes the output file of the task selected in the
// task list. The input file is shown, not editable; the output file is taken
// as typed or picked with Browse and is checked only when the run starts.
class frmTaskListModify : public QDialog {
    Q_OBJECT
  public:
    frmTaskListModify(clsControlTaskList &taskView, adoTaskList &tasks,
                      QWidget *parent = nullptr);
    ~frmTaskListModify() override;

    QLineEdit *txtInputFile() const { return txtInputFile_; }
    QLineEdit *txtOutputFile() const { return txtOutputFile_; }
    QPushButton *cmdBrowse() const { return cmdBrowse_; }
    QPushButton *cmdOK() const { return cmdOK_; }
    QPushButton *cmdExit() const { return cmdExit_; }

    void Form_Load();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdExit_Click();

  private:
    QLabel *lblInputFile_;
    QLineEdit *txtInputFile_;
    QLabel *lblOutputFile_;
    QLineEdit *txtOutputFile_;
    // The task's paths as stored: the fields show them with U+FFFD for
    // bytes that are not UTF-8, and a field left as it was shown gives the
    // stored path back, bytes and all.
    QString storedInputFile_, storedOutputFile_;
    QPushButton *cmdBrowse_;
    QPushButton *cmdExit_;
    QPushButton *cmdOK_;
    QStatusBar *staStatusBar_;
    clsControlTaskList &taskView_;
    adoTaskList &tasks_;
};
