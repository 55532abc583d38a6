#pragma once
// The progress window of a batch export started with "/XB:": what is being read, how many
// icons were found and saved, and a Stop button that ends the run after the current icon.
// The walk runs as a job on the window's job runner: its progress is handed over to the
// window, and Stop is the worker's stop request.
#include <QDialog>
#include <functional>
#include <iosfwd>

#include "app/core/BatchExport.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gs {

class TAnimatedImage;
class TJobRunner;

class TBatchProgressDlg : public QDialog, public IBatchObserver {
    Q_OBJECT
public:
    explicit TBatchProgressDlg(QWidget* parent = nullptr);

    // Prepares the window for the run: caption, source and target, counts at 0, the
    // animation running and Stop enabled.
    void Setup(const TBatchJob& job, const TQBApplication& app);
    // Starts the walk on a worker; false while one runs. `onEnd` gets its outcome on this
    // window's thread once the worker is done.
    bool Start(const TBatchJob& job, std::function<void(const TBatchResult&)> onEnd);
    bool Running() const;

    void ShowCurrentFile(const std::string& path) override;
    void ShowFound(int foundTotal) override;
    void ShowSaved(int savedTotal) override;
    // A stop was asked for (Stop, Esc or the close button).
    bool StopRequested() const override { return stop_; }

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
    TJobRunner* runner_;
    bool stop_ = false;
};

// The whole "/XB:" run: the window shown during the walk, the application's event loop run
// until the walk ends, and the window released before the failure and result boxes.
// Returns the exit status.
int RunBatchWithProgress(const TBatchJob& job, IMessageBoxes& boxes, const TQBApplication& app, std::ostream& err);

}  // namespace gs
