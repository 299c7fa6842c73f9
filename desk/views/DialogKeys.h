#pragma once

#include <QObject>

class QDialog;

// The key handling of the dialogs that close with Exit or OK (frmInfo,
// frmToolbox, frmTaskListModify). The dialog sees each key press before
// the control that has the focus: Escape closes it as Exit does (reject),
// whichever control has the focus, and no control takes it first. Enter
// and Return go on to that control and then to the dialog, which presses
// its default button, OK (QDialog's rule: a button that has the focus and
// takes Enter itself presses itself; Exit and Browse do not).
class DialogKeys final : public QObject {
    Q_OBJECT
  public:
    // Watches the dialog and every control in it at this time, so it is made
    // once the controls are; the dialog owns it.
    explicit DialogKeys(QDialog &dialog);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QDialog &dialog_;
};
