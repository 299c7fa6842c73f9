#include "frmCommandStart.h"

#include "DeskMessages.h"
#include "FileKind.h"
#include "PathSafety.h"
#include "SlotThreads.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "modKAVRO.h"
#include "modVarious.h"
#include "modWin32API.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <set>
#include <string>

namespace {
constexpr int kTimerInterval = 1; // milliseconds
// More engines at once than this gain nothing even on a large machine: the
// disk is shared.
constexpr int kMostTasksAtOnce = 64;
// The progress window names the files of this many tasks in progress.
constexpr qsizetype kTasksShown = 4;

// Whether the path's last extension is "shp", in any letter case.
bool hasShpExtension(const NativePath &path) {
    return path.lastExtension().compare("shp", Qt::CaseInsensitive) == 0;
}

// The shapefile the engine writes for an output path: it keeps the name up
// to the extension and always appends the lower-case "shp", so "x.SHP"
// writes "x.shp". Outputs with another extension (GeoPackages and point
// lists, which the engine writes under the name given, and outputs refused
// before any run) stand for themselves.
NativePath writtenShape(const NativePath &path) {
    return hasShpExtension(path) ? path.companion(".shp") : path;
}

// Two tasks name the same output when the files the engine writes for them
// are one file by the engine's same-file rule (normalPath: absolute, clean,
// links of the folders followed).
std::string outputKey(const NativePath &path) {
    const std::string written = writtenShape(path).string();
    const std::string normal = normalPath(written);
    return normal.empty() ? written : normal;
}
} // namespace

frmCommandStart::frmCommandStart(adoTaskList &tasks,
                                 clsControlTaskList &taskView, QWidget *parent,
                                 ReasonedConverter convert)
    : QDialog(parent), tasks_(tasks), taskView_(taskView),
      convert_(std::move(convert)) {
    createControls();
}

void frmCommandStart::createControls() {
    setWindowTitle(tr("Please wait ..."));
    setModal(true);
    // No close box: the window closes itself when the run has ended.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    lblInfo_ = new QLabel(this);
    lblInfo_->setAccessibleName(tr("Files being converted"));
    lblInfo_->setTextFormat(Qt::PlainText);
    lblInfo_->setWordWrap(true);
    lblInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo_->setMargin(8);
    lblInfo_->setAutoFillBackground(true);
    QPalette white = lblInfo_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    lblInfo_->setPalette(white);
    QFont bold = lblInfo_->font();
    bold.setBold(true);
    lblInfo_->setFont(bold);
    lblInfo_->setFrameShape(QFrame::StyledPanel);
    lblInfo_->setMinimumHeight(lblInfo_->fontMetrics().lineSpacing() * 7);

    prgProgressBar_ = new QProgressBar(this);
    prgProgressBar_->setAccessibleName(tr("Progress"));
    prgProgressBar_->setAccessibleDescription(
        tr("The task being converted and the number of tasks."));
    prgProgressBar_->setOrientation(Qt::Horizontal);
    prgProgressBar_->setMinimum(0);
    prgProgressBar_->setValue(0);
    prgProgressBar_->setFormat(QStringLiteral("%v / %m")); // task k of n

    tmrTimer_ = new QTimer(this);
    tmrTimer_->setInterval(kTimerInterval);
    connect(tmrTimer_, &QTimer::timeout, this,
            &frmCommandStart::tmrTimer_Timer);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo_, 1);
    layout->addWidget(prgProgressBar_);
    resize(520, 220);
}

void frmCommandStart::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!started_)
        tmrTimer_->start();
}

void frmCommandStart::tmrTimer_Timer() {
    guard(QString(), [&] {
        // Pending events are processed during the run, so the timer must
        // not tick into it again: one run per showing.
        tmrTimer_->stop();
        if (started_)
            return;
        started_ = true;
        CommandStart();
        done(QDialog::Accepted);
    });
}

void frmCommandStart::reject() {
    // Escape and the window manager's close (QDialog turns it into reject)
    // are refused: the run cannot be cancelled, and the window closes itself
    // after the final message.
}

void frmCommandStart::CommandStart() {
    guard(QString(), [&] {
        // A check that stopped on a failure leaves tasks unchecked: nothing
        // runs then, as when a check failed.
        const bool checked = CheckTasks();
        if (checked && !errorFlag_) {
            running_ = true;
            RunTasks();
            running_ = false;
            showPlainMessage(tr("Program completed."));
        } else {
            showPlainMessage(
                tr("Errors were found. - Program couldn't be started."));
        }
    });
}

enumErrorType frmCommandStart::CheckTask(const NativePath &outputFile,
                                         int shapeType,
                                         const NativePath &inputFile) {
    if (!outputFile.canBePassed() || !inputFile.canBePassed())
        return ErrorNameNotPassable;
    const NativePath folder = outputFile.folder();
    if (folder.isEmpty() || !modVarious::FolderExists(folder))
        return ErrorOutputFolder;
    // The output is of the input's kind, and only a shapefile is a set of
    // files with a .shp (and spatial indexes) among them.
    const FileKind inputKind = FileKindOf(inputFile);
    const FileKind kind =
        inputKind == FileKind::None ? FileKind::Shapefile : inputKind;
    if (kind != FileKind::Shapefile) {
        if (modVarious::FileExists(outputFile))
            return ErrorOutputExists;
        if (outputFile.lastExtension().compare(KindExtension(kind).toLatin1(),
                                               Qt::CaseInsensitive) != 0)
            return ErrorFileExtension;
        return shapeType == ShapeUTM ? ErrorAlreadyUTM : ErrorNone;
    }
    if (modVarious::FileExists(outputFile) ||
        modVarious::FileExists(writtenShape(outputFile)))
        return ErrorOutputExists;
    if (!hasShpExtension(outputFile))
        return ErrorFileExtension;
    if (modVarious::FileExists(outputFile.companion(".sbn")) ||
        modVarious::FileExists(outputFile.companion(".sbx")))
        return ErrorSpatialIndex;
    if (shapeType == ShapeUTM)
        return ErrorAlreadyUTM;
    return ErrorNone;
}

bool frmCommandStart::CheckTasks() {
    return guard(QString(), [&] {
        errorFlag_ = false;
        RecordSet &records = tasks_.Recordset();
        if (records.recordCount() > 0)
            records.moveFirst();
        // An output named by an earlier task will exist by the time this
        // task runs, and converting it would overwrite the earlier result.
        std::set<std::string> outputs;
        while (!records.atEnd()) {
            const NativePath output = tasks_.OutputPath();
            const NativePath input = tasks_.InputPath();
            enumErrorType result = CheckTask(output, tasks_.ShapeType(), input);
            const std::string key = outputKey(output);
            if (result == ErrorNone && outputs.count(key) != 0)
                result = ErrorOutputExists;
            outputs.insert(key);
            taskView_.UpdateComment(tasks_.ID(), result, FileKindOf(input));
            if (result != ErrorNone)
                errorFlag_ = true;
            records.moveNext();
        }
    });
}

int frmCommandStart::ConcurrentTasks() {
    bool number = false;
    const int wanted = qEnvironmentVariableIntValue("KAVRODESK_TASKS", &number);
    const int tasks =
        number && wanted > 0 ? wanted : modWin32API::ProcessorCount();
    return std::clamp(tasks, 1, kMostTasksAtOnce);
}

void frmCommandStart::RunTasks() {
    guard(QString(), [&] {
        RecordSet &records = tasks_.Recordset();
        // The tasks as they stand now, in their order; the checks have
        // refused a run with a task in UTM already, which is never converted.
        QList<Job> jobs;
        if (records.recordCount() > 0)
            records.moveFirst();
        for (; !records.atEnd(); records.moveNext())
            if (tasks_.ShapeType() != ShapeUTM)
                jobs.append({tasks_.ID(), tasks_.InputPath(),
                             tasks_.OutputPath(), tasks_.ShapeType()});
        const int total = records.recordCount();
        ended_ = total - jobs.size();
        inProgress_.clear();
        prgProgressBar_->setMaximum(total);
        prgProgressBar_->setValue(ended_);
        if (jobs.isEmpty())
            return;
        if (convert_)
            runHere(jobs);
        else
            runOnThreads(jobs, std::min<int>(ConcurrentTasks(), jobs.size()));
        inProgress_.clear();
    });
}

void frmCommandStart::runHere(const QList<Job> &jobs) {
    for (const Job &job : jobs) {
        taskStarted(job);
        QCoreApplication::processEvents();
        QString reason;
        const bool converted =
            convert_(job.input, job.output, job.shapeType, reason);
        taskEnded(job, converted, reason);
        QCoreApplication::processEvents();
    }
}

void frmCommandStart::runOnThreads(const QList<Job> &jobs, int tasksAtOnce) {
    // Each thread takes the next task not yet taken and runs it in its own
    // slot (its own batch file); the window hears of its start and end
    // through queued calls, in the order they happened. Engines that share
    // the processors run on one thread each.
    const int engineThreads = tasksAtOnce > 1 ? 1 : 0;
    int left = jobs.size();
    const auto work = [&](int slot, int k) {
        const Job &job = jobs[k];
        QMetaObject::invokeMethod(
            this, [this, &job] { taskStarted(job); }, Qt::QueuedConnection);
        QString reason;
        bool converted = false;
        try {
            converted = modKAVRO::ConvertShape(
                job.input, job.output, static_cast<ShapeType>(job.shapeType),
                &reason, {slot, engineThreads});
        } catch (...) {
            converted = false; // ConvertShape has shown its failures
        }
        QMetaObject::invokeMethod(
            this,
            [this, &job, &left, converted, reason] {
                taskEnded(job, converted, reason);
                --left;
            },
            Qt::QueuedConnection);
    };
    // Room for the files of the tasks in progress.
    const int shown = std::min<int>(tasksAtOnce, kTasksShown);
    lblInfo_->setMinimumHeight(lblInfo_->fontMetrics().lineSpacing() *
                               (7 + 5 * (shown - 1)));
    resize(width(), std::max(height(), sizeHint().height()));
    const SlotThreads threads(jobs.size(), tasksAtOnce, work);
    // Every task's end is queued before its thread looks for the next one,
    // so the threads have nothing left to do when the last end is heard. No
    // event loop of our own, which the application's end would leave early
    // while a thread waits for an answer from this one.
    while (left > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents |
                                        QEventLoop::WaitForMoreEvents);
}

void frmCommandStart::taskStarted(const Job &job) {
    inProgress_.append(&job);
    showRunning();
}

void frmCommandStart::taskEnded(const Job &job, bool converted,
                                const QString &reason) {
    inProgress_.removeOne(&job);
    ++ended_;
    prgProgressBar_->setValue(ended_);
    showRunning();
    if (converted) {
        if (tasks_.UpdateResult(job.id, kConvertedComment, ShapeUTM))
            taskView_.ShowCurrentRecord();
    } else if (!reason.isEmpty()) {
        // The record stays as it was; its row says why.
        taskView_.UpdateFailure(job.id, reason);
    }
}

void frmCommandStart::showRunning() {
    // The files of the tasks in progress, the first few of them; the last
    // ones stay until the window closes.
    if (inProgress_.isEmpty())
        return;
    QString text = tr("Converting:") + QStringLiteral("\n\n");
    const qsizetype shown = std::min(inProgress_.size(), kTasksShown);
    for (qsizetype k = 0; k < shown; ++k)
        text += QStringLiteral("\n") +
                (k > 0 ? QStringLiteral("\n") : QString()) +
                inProgress_[k]->input.shown() + QStringLiteral("\n\n") +
                inProgress_[k]->output.shown();
    if (inProgress_.size() > shown)
        text += QStringLiteral("\n\n…");
    lblInfo_->setText(text);
}
