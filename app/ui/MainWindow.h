#pragma once
// The program's one window: the icon list with its pictures, the preview panel, the menu
// bar and toolbar in the top dock (the toolbar library's, over the item trees of TMainBars),
// the status bar with the Stop button, and the waiting page shown while the window is busy.
// It shows a core listing (the source, the definitions, filters, counts and the run's
// failures) and owns the widgets and the running extraction. Every command is a row of the command table; their
// enabled states come from alMainUpdate over a snapshot.
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/core/CmdLine.h"
#include "app/core/IconListing.h"
#include "app/core/IconSink.h"
#include "app/core/ListOrder.h"
#include "app/core/MainActions.h"
#include "app/core/RecentList.h"
#include "app/ui/ExceptionGuard.h"

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QStatusBar;

namespace tb {
class TTBPopupMenu;
class TTBSubmenuItem;
class TTBDock;
class TTBToolbar;
}  // namespace tb

namespace gs {

class TMainJobRunner;
class ISaveQuestions;
class IJob;
struct TJobEnd;
class IListDialogs;
class TFormStorage;
class IFavoritesDialogs;
class IMainServices;
class TAnimatedImage;
class TAppContext;
class TFavoritesDialogs;
class TIconListView;
class TIconPreviewList;
class TMainBars;
struct TFavoritesMenuEntry;

inline constexpr const char* kMsgExtracting = "Extracting. Please wait...";
inline constexpr const char* kMsgSaving = "Saving. Please wait...";
inline constexpr const char* kMsgStopping = "Stopping. Please wait...";
inline constexpr const char* kMsgIconsCount = "Icons: %d";
inline constexpr const char* kMsgCurrentFile = "Current file: %s";
inline constexpr const char* kMsgSelectedFolder = "Selected Folder: ";
inline constexpr const char* kMsgSelectedFile = "Selected File: ";
inline constexpr const char* kMsgFolderNotFound = "Folder '%s' not found.";
inline constexpr const char* kMsgFileNotFound = "File '%s' not found.";
inline constexpr const char* kMsgStopBeforeClosing = "Please stop the extraction process before closing.";
inline constexpr const char* kMsgMemoryLimit = "Maximum memory load reached. Extraction stopped.";
inline constexpr const char* kMsgMemoryLimitDetails =
    "Your system total memory load reached %d%%. The extraction process stopped to prevent possible memory crashes.";
inline constexpr const char* kMsgExtractionStopped = "Extraction stopped by the user.";
inline constexpr const char* kSelectFolderCaption = "Please select the folder...";
inline constexpr const char* kSelectFileCaption = "Please select the file...";
inline constexpr const char* kSelectFileFilter =
    "Applications (*.exe)|*.exe|Application Extensions (*.dll)|*.dll|Icons (*.ico)|*.ico|Icon Libraries (*.icl)|*.icl|"
    "ActiveX Controls (*.ocx)|*.ocx|Control Panel Applets (*.cpl)|*.cpl|All Files (*.*)|*.*";

class TKAVUMain : public QWidget, public IIconSink {
    Q_OBJECT
public:
    // `start` is the command line: a file or folder there is listed at the first show.
    TKAVUMain(TAppContext& context, IMainServices& services, TCommandLine start = {}, QWidget* parent = nullptr);
    // Stops a running extraction, then stores the recent lists.
    ~TKAVUMain() override;

    int IconCount() const { return listing_.IconCount(); }

    // State and enabling.
    TBusyState Busy() const { return busy_; }
    bool Idle() const { return busy_ == TBusyState::Idle; }
    TMainSnapshot Snapshot() const;
    // Recomputes every command's enabled and checked state, then the preview.
    void alMainUpdate();
    QAction* Action(TMainAction id) const { return actions_[std::size_t(id)]; }
    // Runs a command as its menu entry would: its state is updated first, and it runs only
    // when enabled. Errors go to the exception handler.
    void Execute(TMainAction id);

    void SetMenuImages(bool highColour);
    void ClearListing();
    void ApplyOptions();
    void UpdateColumnCaptions();
    void UpdatePreview(bool hasSelection);
    void SetFavoritesEnabled(bool enabled);
    // The busy spells, over the window's one busy state. Extracting shows the waiting page
    // with the Stop button; saving `selected` icons turns the commands off, and shows the
    // saving page only for more than 50. Each End does nothing outside its own spell.
    void BeginExtractionBusy() { beginBusy(TBusyState::Extracting); }
    void EndExtractionBusy() { endBusy(TBusyState::Extracting); }
    void BeginSaveBusy(int selected) { beginBusy(TBusyState::Saving, selected); }
    void EndSaveBusy() { endBusy(TBusyState::Saving); }

    // Selecting and listing.
    void SelectFolder(const std::string& path);
    void SelectFile(const std::string& path);
    void MRUFoldersClick(const std::string& path) { SelectFolder(path); }
    void MRUFilesClick(const std::string& path) { SelectFile(path); }
    // The recent lists in the store, under the application key's Storage: read at creation
    // (a missing key keeps the entries), written when the window goes.
    void LoadMRUFolders();
    void LoadMRUFiles();
    void SaveMRUFolders() const;
    void SaveMRUFiles() const;
    void DropFiles(const std::vector<std::string>& paths);
    // True while the memory load lets the listing grow.
    bool MemoryLoadOk();
    void cmdStopClick();
    bool ExtractionRunning() const;

    // The hand-over from the worker (on this window's thread).
    void ResetIconList() override;
    int AddIcons(TIconBatch batch) override;
    void FileFailed(const std::filesystem::path& file, const std::string& error) override;

    // The list commands (MainWindowList.cpp).
    void RefreshFilteredList();
    void RemoveAllIcons();
    void RemoveSelectedIcons();
    void lvIconsColumnClick(int column);

    // The window's stored placement and properties (MainWindowStorage.cpp).
    TFormStorage& Storage() const { return *Storage_; }

    // Saving and sharing the selected icons (MainWindowSave.cpp).
    // Starts the save of the selected icons on the window's job runner; the window stays
    // busy until its end.
    void SaveIcons(TBatchFormat format, TBatchIconSize size);
    void SaveImages(TBatchIconSize size);
    void CopyToClipboard(TBatchIconSize size);
    void EditIcon();
    void SendTo();
    void AddToNewICL();
    void AddToExistingICL();
    // The selected entries' definitions in the order the list shows them.
    std::vector<TIconDef*> SelectedInListOrder() const;

    template <class F>
    void Guard(F&& body) {
        handler_.Guard(std::forward<F>(body));
    }

    TIconListView& ListView() const { return *lvIcons; }

    // The Favorites menu: rebuilt from the tree when it opens after a change.
    void actFavoritesExecute();
    void OpenFavorite(const std::string& target);

signals:
    // After every end of an extraction, once the window is idle again.
    void ExtractionEnded();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The menu bar's keys that reach the window: no widget and no command shortcut took them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TMainWindowProbe;  // the tests' fixture

    void createComponents();
    // The parts of the window: the busy page, the list with its preview, the Stop button
    // with the status bar.
    void createPleaseWait();
    void createListArea();
    void createBottom();
    void createActions();
    void createBars();
    // Puts the two bars' hosts into the top dock.
    void placeBars();
    // The bars' windows and the library's hooks into this window, before the trees go.
    void releaseBars();
    void createPopup();
    void showHint(const QString& hint);
    void bindHandlers();
    void on(TMainAction id, std::function<void()> handler);
    // The common steps of selecting a folder or file, up to the extraction.
    void selectPath(const std::string& path, bool exists, IRecentList& recent, const char* notFound,
                    const char* selected);
    void setPanel(int panel, const QString& text);
    void showBottomForBusy();
    void beginBusy(TBusyState state, int selected = 0);
    // Idle again, without the busy page, when the window is busy with `spell`.
    void endBusy(TBusyState spell);
    void scheduleUpdate();
    void startExtraction();
    void showBusyTexts();
    void ExtractThreadTerminate(const TJobEnd& end);
    // Raises the warning that tells how the run went wrong, when it did: what broke it off,
    // and the files that could not be read.
    void reportRunFailures();
    // The count panel shows the listing's count.
    void showCount();
    // The preview looks at the selection afresh at the next update.
    void forgetPreview();
    // Runs a job on the selected icons (a save, the mail, an icon library), busy as while
    // saving `selected` icons; its end comes to SelectionJobEnded.
    void runSelectionJob(std::shared_ptr<IJob> job, int selected, std::function<void()> afterEnd = {});
    // The window idle again, then `afterEnd`, then a stop or a failure with its reason.
    void SelectionJobEnded(const TJobEnd& end, const std::function<void()>& afterEnd);
    void arrange(int column);
    void showAbout();
    void showTipOfTheDay(bool forced);
    void showFileProperties();
    void setViewStyle(TViewStyle style);
    void setupListWork();
    void togglePreview();
    void selectionCommand(bool invert);
    bool lvIconsEdited(TIconDef* def, QString& text);
    void removeIcons();
    void findNext();
    void setupStorage();
    // One box with what the user has not been told about the settings store yet.
    void tellStoreNotices();
    void StorageSavePlacement();
    void StorageRestorePlacement();

    void bindSaveHandlers();
    void createFavorites();
    void AddFavoritesFolderItems(tb::TTBCustomItem& submenu, const std::vector<TFavoritesMenuEntry>& entries);
    void actFavoritesAddExecute();

    TAppContext& context_;
    IMainServices& services_;
    TCommandLine start_;
    TAppExceptionHandler handler_;
    TIconListing listing_;
    TBusyState busy_ = TBusyState::Idle;
    bool savePage_ = false;  // the running save shows the busy page
    std::unique_ptr<ISaveQuestions> saveQuestions_;  // the running save's answers
    bool firstShow_ = true;
    bool firstActivate_ = true;
    bool bottomWasHidden_ = false;
    TListOrder order_;
    int lastSelCount_ = -1;
    TIconDef* lastPreviewItem_ = nullptr;
    bool stopping_ = false;
    bool updateScheduled_ = false;
    bool favoritesEnabled_ = true;
    TActionStates states_{};
    std::array<QAction*, kMainActionCount> actions_{};
    std::array<std::function<void()>, kMainActionCount> handlers_;
    std::vector<QIcon> menuImages_;
    TRecentLists recent_;
    std::unique_ptr<TMainBars> bars_;
    TMainJobRunner* runner_ = nullptr;
    QTimer busyTextTimer_;
    std::string busyTextFile_;
    IListDialogs* listDialogs_ = nullptr;
    std::unique_ptr<IListDialogs> realDialogs_;
    TFormStorage* Storage_ = nullptr;
    std::unique_ptr<TFavoritesDialogs> favoritesDialogs_;
    IFavoritesDialogs* favDialogs_ = nullptr;

    // Components, named as their objectName.
    tb::TTBDock* DockTop;
    tb::TTBDock* DockLeft;
    tb::TTBDock* DockRight;
    tb::TTBDock* DockBottom;
    tb::TTBToolbar* tbMenu;
    tb::TTBToolbar* tbMain;
    QStackedWidget* pClient;
    QFrame* pPleaseWait;
    TAnimatedImage* anSavePleaseWait;
    TAnimatedImage* anPleaseWait;
    QLabel* lblFileName;
    QWidget* pDefault;
    QSplitter* splIcons;
    TIconListView* lvIcons;
    QWidget* pPreview;
    QWidget* pClosePreview;
    TIconPreviewList* lbIconPreview;
    QWidget* pBottom;
    QWidget* pStop;
    QPushButton* cmdStop;
    QStatusBar* sbMain;
    std::array<QLabel*, 4> panels_{};
    tb::TTBPopupMenu* popIcons;
    tb::TTBSubmenuItem* mnuFavorites = nullptr;
};

}  // namespace gs
