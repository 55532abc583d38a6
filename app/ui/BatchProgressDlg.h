#pragma once
// The progress window of a batch export started with "/XB:": what is being read, how many
// icons were found and saved, and a Stop button that ends the run after the current icon.
// The walk runs as a worker job (RunOnWorker): its progress is handed over to the window,
// and Stop is the worker's stop request. The window can also watch a walk on its own
// thread as its observer, letting pending events run between files and icons.
#include <QDialog>
#include <iosfwd>
#include <stop_token>

#include "app/core/BatchExport.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gs {

class TAnimatedImage;

class TBatchProgressDlg : public QDialog, public IBatchObserver {
    Q_OBJECT
public:
    explicit TBatchProgressDlg(QWidget* parent = nullptr);

    // Prepares the window for the run: caption, source and target, counts at 0, the
    // animation running and Stop enabled.
    void Setup(const TBatchJob& job, const TQBApplication& app);
    // Runs the walk on a worker thread while this window's events run, and returns its
    // outcome once the worker is done.
    TBatchOutcome RunOnWorker(const TBatchJob& job);

    void ShowCurrentFile(const std::string& path) override;
    void ShowFound(int foundTotal) override;
    void ShowSaved(int savedTotal) override;
    void ProcessPendingEvents() override;
    bool StopRequested() const override { return stop_; }
    void ClearStop() override { stop_ = false; }

public slots:
    void cmdStopClick();
    // Esc and the window's close button ask the run to stop rather than hide the window
    // while the walk goes on.
    void reject() override;

private:
    QLineEdit* addField(QFormLayout* form, const char* objectName, const char* caption);

    TAnimatedImage* anWait;
    QLabel* lblTitle;
    QLineEdit* txtFileSpec;
    QLineEdit* txtTargetDir;
    QLineEdit* txtIconsFound;
    QLineEdit* txtIconsSaved;
    QLineEdit* txtCurrentFile;
    QPushButton* cmdStop;
    bool stop_ = false;
    std::stop_source workerStop_{std::nostopstate};
};

// The whole "/XB:" run: the window shown during the walk and released before the failure
// and result boxes. Returns the exit status.
int RunBatchWithProgress(const TBatchJob& job, IMessageBoxes& boxes, const TQBApplication& app, std::ostream& err);

}  // namespace gs
