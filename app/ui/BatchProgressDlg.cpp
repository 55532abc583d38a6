#include "app/ui/BatchProgressDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <thread>

#include "app/core/HandOver.h"
#include "app/core/PathDisplay.h"
#include "app/ui/AnimatedImage.h"
#include "app/ui/MenuImages.h"
#include "framework/core/Application.h"

namespace gs {

namespace {

constexpr const char* kTitleWorking = "Extracting icons... Please wait.";
constexpr const char* kTitleStopping = "Stopping. Please wait...";
// Room for a shortened path (at most 75 characters) in the fields.
constexpr int kFieldWidth = 420;

// The fields show their values after one blank, as the window always has.
QString shown(const std::string& text) { return QString::fromUtf8(" " + text); }
QString shown(int n) { return shown(std::to_string(n)); }

// The walk's observer on the worker thread: each new file is handed over to the window and
// waited for, so a Stop given meanwhile is seen before that file's first icon; the counts
// are posted. Stopping is the worker's own stop request.
class WorkerBatchObserver final : public IBatchObserver {
public:
    WorkerBatchObserver(std::shared_ptr<HandOverChannel> channel, TBatchProgressDlg& window, std::stop_token stop)
        : channel_(std::move(channel)), window_(window), stop_(std::move(stop)) {}

    void ShowCurrentFile(const std::string& path) override {
        channel_->Call([w = &window_, path] { w->ShowCurrentFile(path); return 0; }, stop_);
    }
    void ShowFound(int n) override { channel_->Post([w = &window_, n] { w->ShowFound(n); }); }
    void ShowSaved(int n) override { channel_->Post([w = &window_, n] { w->ShowSaved(n); }); }
    void ProcessPendingEvents() override {}
    bool StopRequested() const override { return stop_.stop_requested(); }
    void ClearStop() override {}

private:
    std::shared_ptr<HandOverChannel> channel_;
    TBatchProgressDlg& window_;
    std::stop_token stop_;
};

}  // namespace

TBatchProgressDlg::TBatchProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("TBatchProgressDlg");
    setFont(QFont(kFontName));

    anWait = new TAnimatedImage(this);
    anWait->SetGlyph(PleaseWaitStrip());
    anWait->setObjectName("anWait");
    lblTitle = new QLabel(kTitleWorking, this);
    lblTitle->setObjectName("lblTitle");
    auto* head = new QHBoxLayout;
    head->addWidget(anWait);
    head->addWidget(lblTitle, 1);

    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    txtFileSpec = addField(form, "txtFileSpec", "File spec:");
    txtTargetDir = addField(form, "txtTargetDir", "Target dir.:");
    txtIconsFound = addField(form, "txtIconsFound", "Icons found:");
    txtIconsSaved = addField(form, "txtIconsSaved", "Icons saved:");
    txtCurrentFile = addField(form, "txtCurrentFile", "Current file:");

    cmdStop = new QPushButton("&Stop", this);
    cmdStop->setObjectName("cmdStop");
    cmdStop->setDefault(true);
    cmdStop->setEnabled(false);
    connect(cmdStop, &QPushButton::clicked, this, &TBatchProgressDlg::cmdStopClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStop);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* TBatchProgressDlg::addField(QFormLayout* form, const char* objectName, const char* caption) {
    auto* field = new QLineEdit(form->parentWidget());
    field->setObjectName(objectName);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFixedWidth(kFieldWidth);
    form->addRow(caption, field);
    return field;
}

void TBatchProgressDlg::Setup(const TBatchJob& job, const TQBApplication& app) {
    setWindowTitle(QString::fromStdString(app.ProductName));
    anWait->SetActive(true);
    cmdStop->setEnabled(true);
    txtFileSpec->setText(shown(job.FileSpec));
    txtTargetDir->setText(shown(job.TargetDir));
    txtIconsFound->setText(shown(0));
    txtIconsSaved->setText(shown(0));
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TBatchProgressDlg::ShowCurrentFile(const std::string& path) { txtCurrentFile->setText(shown(ShortenPath(path))); }
void TBatchProgressDlg::ShowFound(int foundTotal) { txtIconsFound->setText(shown(foundTotal)); }
void TBatchProgressDlg::ShowSaved(int savedTotal) { txtIconsSaved->setText(shown(savedTotal)); }

void TBatchProgressDlg::ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

TBatchOutcome TBatchProgressDlg::RunOnWorker(const TBatchJob& job) {
    auto channel = std::make_shared<HandOverChannel>([this](HandOverChannel::Task task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    });
    QEventLoop loop;
    TBatchOutcome outcome;
    {
        std::jthread worker([&job, &outcome, &loop, channel, this](std::stop_token stop) {
            WorkerBatchObserver observer(channel, *this, stop);
            TBatchOutcome result;
            try {
                result = TBatchExport(job, observer).ExtractFiles();
            } catch (const std::exception& e) {  // nothing may leave a thread's body
                result.Failure = TBatchFailure{job.FileSpec, e.what()};
            }
            channel->Post([&outcome, &loop, result] {
                outcome = result;
                loop.quit();
            });
        });
        workerStop_ = worker.get_stop_source();
        if (stop_) workerStop_.request_stop();
        loop.exec();
        channel->Close();
    }
    workerStop_ = std::stop_source(std::nostopstate);
    return outcome;
}

void TBatchProgressDlg::cmdStopClick() {
    lblTitle->setText(kTitleStopping);
    stop_ = true;
    if (workerStop_.stop_possible()) workerStop_.request_stop();
    ProcessPendingEvents();
}

void TBatchProgressDlg::reject() {
    if (cmdStop->isEnabled()) cmdStopClick();
}

int RunBatchWithProgress(const TBatchJob& job, IMessageBoxes& boxes, const TQBApplication& app, std::ostream& err) {
    TBatchOutcome outcome;
    {
        TBatchProgressDlg progress;
        progress.Setup(job, app);
        progress.show();
        outcome = progress.RunOnWorker(job);
    }
    return ReportBatchOutcome(job, outcome, boxes, app, err);
}

}  // namespace gs
