// The main window's ways out for the selected icons: the twelve save commands (through the
// core's save loop, with the window's questions), the clipboard copies, the external
// editor, the mail, and the icon libraries. The saves, the mail and the libraries run as
// jobs on the window's runner: the window answers meanwhile, busy as while saving.
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>

#include <algorithm>

#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/SaveJob.h"
#include "app/core/ShareIcons.h"
#include "app/core/ShareJobs.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainJobRunner.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SelectFormatDlg.h"
#include "codecs/ui/Clipboard.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MessageBoxes.h"

namespace gs {

namespace {

using A = TMainAction;
using F = TBatchFormat;
using S = TBatchIconSize;

constexpr std::uint16_t kDefaultYesToAll = 2;

struct TSaveCommand {
    A action;
    F format;  // bfGIF stands for "the image format the user picks"
    S size;
};
constexpr TSaveCommand kSaveCommands[] = {
    {A::actIconSaveIcons, F::bfICO, S::bsAll},     {A::actIconSave48x48Icons, F::bfICO, S::bs48},
    {A::actIconSave32x32Icons, F::bfICO, S::bs32}, {A::actIconSave16x16Icons, F::bfICO, S::bs16},
    {A::actIconSaveBitmaps, F::bfBMP, S::bsAll},   {A::actIconSave48x48Bitmaps, F::bfBMP, S::bs48},
    {A::actIconSave32x32Bitmaps, F::bfBMP, S::bs32}, {A::actIconSave16x16Bitmaps, F::bfBMP, S::bs16},
    {A::actIconSaveImages, F::bfGIF, S::bsAll},    {A::actIconSave48x48Images, F::bfGIF, S::bs48},
    {A::actIconSave32x32Images, F::bfGIF, S::bs32}, {A::actIconSave16x16Images, F::bfGIF, S::bs16},
};

constexpr std::pair<A, S> kCopyCommands[] = {
    {A::actEditCopyToClipboard, S::bsAll},
    {A::actEditCopy48x48ToClipboard, S::bs48},
    {A::actEditCopy32x32ToClipboard, S::bs32},
    {A::actEditCopy16x16ToClipboard, S::bs16},
};

// The caption editor open in the list, if any.
QLineEdit* openCaptionEditor(const TIconListView& list) {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(list.IconView()),
                                    static_cast<QAbstractItemView*>(list.ReportView())}) {
        // An open editor is the widget of the current entry.
        if (auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(view->currentIndex()))) return editor;
    }
    return nullptr;
}

// The window's answers to the save loop: its services' dialogs and boxes, on the UI thread.
class TWindowSaveQuestions final : public ISaveQuestions {
public:
    TWindowSaveQuestions(QWidget* owner, IMainServices& services) : owner_(owner), services_(services) {}

    std::optional<std::string> BrowseDestination(const std::string& start) override {
        std::string folder = start;
        if (!BrowseForDirectory(services_, owner_, folder, kSelectDestinationCaption, kSaveHelpContext)) return std::nullopt;
        return folder;
    }
    std::optional<std::string> AskFileName(const TSaveTarget& target, const std::string& folder,
                                           const std::string& name) override {
        TSaveDialogSpec spec;
        spec.Title = target.Title;
        spec.DefaultExt = target.DefaultExt;
        spec.Filter = target.Filter;
        spec.InitialDir = folder;
        spec.FileName = name;
        spec.HelpContext = kSaveHelpContext;
        return services_.SaveFileName(owner_, spec);
    }
    TQBMessageResult AskReplace(const std::string& message) override {
        const TQBApplication& app = application();
        return services_.Boxes().ShowQBMessage(message, app.Title, TQBMessageType::mtQuestion,
                                               TQBButtonSet::bsYesYesToAllNoNoToAllCancel,
                                               kDefaultYesToAll, app.LanguageId, app.FontName);
    }
    void ShowResult(const std::string& message) override {
        const TQBApplication& app = application();
        services_.Boxes().ShowQBMessage(message, app.Title, TQBMessageType::mtInformation,
                                        TQBButtonSet::bsOK, kFirstButton, app.LanguageId, app.FontName);
    }

private:
    QWidget* owner_;
    IMainServices& services_;
};

}  // namespace

void TKAVUMain::bindSaveHandlers() {
    for (const TSaveCommand& c : kSaveCommands) {
        if (c.format == F::bfGIF) on(c.action, [this, c] { SaveImages(c.size); });
        else on(c.action, [this, c] { SaveIcons(c.format, c.size); });
    }
    for (const auto& [action, size] : kCopyCommands) on(action, [this, size] { CopyToClipboard(size); });
    on(A::actIconEditIcon, [this] { EditIcon(); });
    on(A::actIconSendTo, [this] { SendTo(); });
    on(A::actIconAddToNewICL, [this] { AddToNewICL(); });
    on(A::actIconAddToExistingICL, [this] { AddToExistingICL(); });
    // A double click on a selected entry opens it in the editor.
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(lvIcons->IconView()),
                                    static_cast<QAbstractItemView*>(lvIcons->ReportView())}) {
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            Guard([&] {
                if (QApplication::mouseButtons() & ~Qt::LeftButton) return;
                if (lvIcons->Selection().isSelected(index.siblingAtColumn(0))) Execute(A::actIconEditIcon);
            });
        });
    }
}

void TKAVUMain::SaveIcons(TBatchFormat format, TBatchIconSize size) {
    if (!Idle()) return;
    // The job walks this snapshot; the commands that change the list stay off meanwhile.
    std::vector<TIconDef*> entries = SelectedInListOrder();
    if (entries.empty()) return;
    GetSaveTarget(int(format));
    saveQuestions_ = std::make_unique<TWindowSaveQuestions>(this, services_);
    const int count = int(entries.size());
    runSelectionJob(std::make_shared<TSaveJob>(format, size, std::move(entries), context_.Options, *saveQuestions_),
                    count);
}

void TKAVUMain::runSelectionJob(std::shared_ptr<IJob> job, int selected, std::function<void()> afterEnd) {
    BeginSaveBusy(selected);
    const bool started = runner_->Start(std::move(job), [this, afterEnd = std::move(afterEnd)](const TJobEnd& end) {
        Guard([&] { SelectionJobEnded(end, afterEnd); });
    });
    if (!started) {
        EndSaveBusy();
        saveQuestions_.reset();
    }
}

void TKAVUMain::SelectionJobEnded(const TJobEnd& end, const std::function<void()>& afterEnd) {
    EndSaveBusy();
    saveQuestions_.reset();
    if (afterEnd) afterEnd();
    // The save's own words reach the user as its errors always have: through the handler.
    if (end.Kind == TJobEnd::TKind::Failed && end.Error) std::rethrow_exception(end.Error);
    if (end.Kind == TJobEnd::TKind::Failed) throw EQBException(end.Reason, "", TQBSeverity::Warning);
    if (end.Kind == TJobEnd::TKind::Stopped && !end.Reason.empty())
        throw EQBException(end.Reason, "", TQBSeverity::Information);
}

void TKAVUMain::SaveImages(TBatchIconSize size) {
    if (lvIcons->SelectedCount() == 0) return;
    const std::optional<TBatchFormat> format =
        SelectImageFormat(context_.Options, [this] { return services_.AskImageFormat(this); });
    if (format) SaveIcons(*format, size);
}

void TKAVUMain::CopyToClipboard(TBatchIconSize size) {
    // While a caption is being edited, Copy copies its text.
    if (QLineEdit* editor = openCaptionEditor(*lvIcons)) {
        editor->copy();
        return;
    }
    if (lvIcons->SelectedCount() != 1) return;
    TIconDef* def = lvIcons->FirstSelected();
    if (!def) return;
    try {
        const std::optional<TRaster> bitmap = ClipboardBitmap(def->GetIcon(), size, context_.Options.SetTransparency);
        if (bitmap) services_.SetClipboard(ui::bitmapMimeData(*bitmap));
    } catch (const std::exception& e) {
        throw EQBException(kMsgCopyFailed, e.what(), TQBSeverity::Warning);
    }
}

void TKAVUMain::EditIcon() {
    TIconDef* def = lvIcons->FirstSelected();
    if (!def) return;
    EditIconExternally(*def, context_.Options.IconEditApp,
                       [this](const std::vector<std::string>& argv) { return services_.Start(argv); });
}

void TKAVUMain::SendTo() {
    if (!Idle()) return;
    std::vector<TIconDef*> entries = SelectedInListOrder();
    if (entries.empty()) return;
    TQBMapi mapi;
    const int count = int(entries.size());
    auto job = std::make_shared<TMailIconsJob>(std::move(entries), context_.Options, application(), std::move(mapi));
    runSelectionJob(job, count, [job] { job->DeliverOutcome(); });
}

void TKAVUMain::AddToNewICL() {
    if (!Idle()) return;
    TSaveDialogSpec spec;
    spec.Title = kSaveICLTitle;
    spec.DefaultExt = kICLDefaultExt;
    spec.Filter = kICLFilter;
    spec.HelpContext = kIconMenuHelpContext;
    const std::optional<std::string> file = services_.SaveFileName(this, spec);
    if (!file) return;
    CheckLibraryName(*file);
    const std::vector<TIconDef*> entries = SelectedInListOrder();
    runSelectionJob(std::make_shared<TIconLibraryJob>(TIconLibraryJob::TWay::Create, *file, entries), int(entries.size()));
}

void TKAVUMain::AddToExistingICL() {
    if (!Idle()) return;
    const std::optional<std::string> file = services_.OpenFileName(this, {kOpenICLTitle, kICLDefaultExt, kICLFilter, "", kIconMenuHelpContext});
    if (!file) return;
    CheckLibraryName(*file);
    const std::vector<TIconDef*> entries = SelectedInListOrder();
    runSelectionJob(std::make_shared<TIconLibraryJob>(TIconLibraryJob::TWay::Add, *file, entries), int(entries.size()));
}

}  // namespace gs
