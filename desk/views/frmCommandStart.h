#pragma once

#include "NativePath.h"
#include "enumErrorType.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QTimer;
class adoTaskList;
class clsControlTaskList;

// The run-progress window. Shown modally by the Start command, it checks
// every task of the task list and, when all passed, converts them, up to
// ConcurrentTasks() at once, each on a thread of its own with its own batch
// file, showing the files of the tasks in progress and how many tasks have
// ended; then it closes itself. Each task's row is updated as its task ends,
// while the window keeps answering. It cannot be closed while it runs: the
// run has no way to be cancelled, and a conversion is never cut off.
class frmCommandStart : public QDialog {
    Q_OBJECT
  public:
    // Converts one task (input, output, shape type); true on success. The
    // real one is modKAVRO::ConvertShape, which also says why a conversion
    // failed (the last argument of the second form), for the task's row. A
    // converter given here stands in for it and runs on the window's
    // thread, one task after another.
    using Converter =
        std::function<bool(const NativePath &, const NativePath &, int)>;
    using ReasonedConverter = std::function<bool(
        const NativePath &, const NativePath &, int, QString &reason)>;

    frmCommandStart(adoTaskList &tasks, clsControlTaskList &taskView,
                    QWidget *parent = nullptr, ReasonedConverter convert = {});

    QLabel *lblInfo() const { return lblInfo_; }
    QProgressBar *prgProgressBar() const { return prgProgressBar_; }
    QTimer *tmrTimer() const { return tmrTimer_; }
    bool running() const { return running_; }

    // Checks every task and, when none failed, converts them all; then
    // shows "Program completed." or, when a check failed, that the run
    // could not be started.
    void CommandStart();

    // The check result of one task by its output path and shape type (and
    // its input path, which must be writable into a batch line too, and
    // whose kind the output must have: a shapefile's checks without it).
    static enumErrorType CheckTask(const NativePath &outputFile, int shapeType,
                                   const NativePath &inputFile = {});

    // How many tasks a run converts at once: the environment variable
    // KAVRODESK_TASKS when it holds a positive number, otherwise the number
    // of processors the process may use.
    static int ConcurrentTasks();

    static inline const QString kConvertedComment =
        QStringLiteral("UTM WGS84-ETRS89");

    void reject() override; // Escape and the close box: not during a run

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void createControls();
    void tmrTimer_Timer();
    bool CheckTasks();
    void RunTasks();

    struct Job {
        int id;
        NativePath input, output;
        int shapeType;
    };
    void runHere(const QList<Job> &jobs);
    void runOnThreads(const QList<Job> &jobs, int tasksAtOnce);
    void taskStarted(const Job &job);
    void taskEnded(const Job &job, bool converted, const QString &reason);
    void showRunning();

    adoTaskList &tasks_;
    clsControlTaskList &taskView_;
    ReasonedConverter convert_;     // empty: modKAVRO::ConvertShape on threads
    QList<const Job *> inProgress_; // in the order they started
    int ended_ = 0;
    QLabel *lblInfo_ = nullptr;
    QProgressBar *prgProgressBar_ = nullptr;
    QTimer *tmrTimer_ = nullptr;
    bool errorFlag_ = false; // a check result other than ErrorNone was found
    bool started_ = false;   // the run of this showing has begun
    bool running_ = false;
};
