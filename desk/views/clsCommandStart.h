#pragma once

#include "frmCommandStart.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class adoFileList;
class adoTaskList;
class clsControlFileList;
class clsControlTaskList;
class frmMain;

// The Start button: with tasks in the task list it shows the run-progress
// window, which checks and converts them; afterwards the file list is read
// again so that new outputs in the shown folder appear.
class clsCommandStart : public QObject {
    Q_OBJECT
  public:
    clsCommandStart(frmMain &window, adoTaskList &tasks,
                    clsControlTaskList &taskView, adoFileList &files,
                    clsControlFileList &fileView);

    // For tests: the conversion each run uses (modKAVRO::ConvertShape when
    // none is set).
    void setConverter(frmCommandStart::ReasonedConverter convert) {
        convert_ = std::move(convert);
    }
    void setConverter(frmCommandStart::Converter convert) {
        if (!convert)
            convert_ = nullptr;
        else
            convert_ = [convert](const NativePath &input,
                                 const NativePath &output, int shapeType,
                                 QString &) {
                return convert(input, output, shapeType);
            };
    }

  private:
    void m_cmdCommandStart_Click();

    QPointer<frmMain> m_frmMain;
    QPointer<QAbstractButton> m_cmdCommandStart;
    adoTaskList &tasks_;
    clsControlTaskList &taskView_;
    adoFileList &files_;
    clsControlFileList &fileView_;
    frmCommandStart::ReasonedConverter convert_;
};
