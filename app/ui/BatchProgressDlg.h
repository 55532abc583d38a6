#pragma once
// The progress window of a batch export started with "/XB:": what is being read, how many
// icons were found and saved, and a Stop button that ends the run after the current icon.
// The walk runs on the UI thread; the window stays responsive because the walk lets
// pending events run between files and between icons.
#include <QDialog>
#include <iosfwd>

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
};

// The whole "/XB:" run: the window shown during the walk and released before the failure
// and result boxes. Returns the exit status.
int RunBatchWithProgress(const TBatchJob& job, IMessageBoxes& boxes, const TQBApplication& app, std::ostream& err);

}  // namespace gs
