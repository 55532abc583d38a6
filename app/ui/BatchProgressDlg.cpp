#include "app/ui/BatchProgressDlg.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/core/BatchJob.h"
#include "app/core/PathDisplay.h"
#include "controls/ui/AnimatedImage.h"
#include "app/ui/JobRunner.h"
#include "app/ui/MenuImages.h"
#include "framework/core/Application.h"
#include "framework/ui/DialogFrame.h"

namespace gs {

namespace {

constexpr const char* kTitleWorking = "Extracting icons... Please wait.";
constexpr const char* kTitleStopping = "Stopping. Please wait...";
// Room for a shortened path (at most 75 characters) in the fields.
constexpr int kFieldWidth = 420;

// The fields show their values after one blank, as the window always has.
QString shown(const std::string& text) { return QString::fromUtf8(" " + text); }
QString shown(int n) { return shown(std::to_string(n)); }

}  // namespace

TBatchProgressDlg::TBatchProgressDlg(QWidget* parent)
    : QDialog(parent, kFixedDialogWindowFlags | Qt::WindowStaysOnTopHint) {
    setObjectName("TBatchProgressDlg");
    setFont(QFont(kDefaultFontName));
    runner_ = new TJobRunner(this);

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

bool TBatchProgressDlg::Start(const TBatchJob& job, std::function<void(const TBatchResult&)> onEnd) {
    auto run = std::make_shared<TBatchRunJob>(job, *this);
    const bool started = runner_->Start(run, [run, onEnd = std::move(onEnd)](const TJobEnd& end) {
        if (onEnd) onEnd(run->ResultOf(end));
    });
    // A stop asked for before the start holds for the run.
    if (started && stop_) runner_->Stop();
    return started;
}

bool TBatchProgressDlg::Running() const { return runner_->Running(); }

void TBatchProgressDlg::cmdStopClick() {
    lblTitle->setText(kTitleStopping);
    stop_ = true;
    runner_->Stop();
}

void TBatchProgressDlg::reject() {
    if (cmdStop->isEnabled()) cmdStopClick();
}

int RunBatchWithProgress(const TBatchJob& job, IMessageBoxes& boxes, const TQBApplication& app, std::ostream& err) {
    TBatchResult outcome;
    {
        TBatchProgressDlg progress;
        progress.Setup(job, app);
        progress.show();
        if (progress.Start(job, [&outcome](const TBatchResult& result) {
                outcome = result;
                QCoreApplication::exit(0);
            }))
            QApplication::exec();
    }
    return ReportBatchOutcome(job, outcome, boxes, app, err);
}

}  // namespace gs
