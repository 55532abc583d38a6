#include "app/ui/MainWindow.h"
#include "app/ui/OptionsDlg.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/Options.h"
#include "app/core/SaveIcons.h"
#include "app/ui/DialogPictures.h"
#include "controls/ui/AnimatedImage.h"
#include "app/ui/FavoritesDlgs.h"
#include "app/ui/IconListView.h"
#include "app/ui/ListColours.h"
#include "app/ui/IconPreview.h"
#include "app/ui/ListDialogs.h"
#include "app/ui/MainBars.h"
#include "app/ui/MainJobRunner.h"
#include "app/ui/MainServices.h"
#include "app/ui/MenuImages.h"
#include "codecs/ui/QtRaster.h"
#include "controls/ui/FontComboBox.h"
#include "controls/ui/FormStorage.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/RxUtils.h"
#include "framework/ui/QtBridge.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtToolbar.h"

namespace gs {

namespace {

using A = TMainAction;

constexpr int kIdleUpdateMs = 250;
constexpr int kBusyTextRefreshMs = 50;

}  // namespace

TKAVUMain::TKAVUMain(TAppContext& context, IMainServices& services, TCommandLine start, QWidget* parent)
    : QWidget(parent),
      context_(context),
      services_(services),
      start_(std::move(start)),
      handler_(
          services.Boxes(),
          [this] {
              raise();
              activateWindow();
          },
          [&services] { services.Terminate(); }) {
    setObjectName("KAVUMain");
    createComponents();
    createActions();
    createBars();
    createPopup();
    bindHandlers();
    setupListWork();
    setupStorage();
    createFavorites();

    busyTextTimer_.setSingleShot(true);
    busyTextTimer_.setInterval(kBusyTextRefreshMs);
    connect(&busyTextTimer_, &QTimer::timeout, this, [this] { Guard([this] { showBusyTexts(); }); });
    runner_ = new TMainJobRunner(*this, this);
    connect(runner_, &TMainJobRunner::ScanEnded, this, [this](const TJobEnd& end) { Guard([&] { ExtractThreadTerminate(end); }); });

    SetMenuImages(HighColourScreen());
    setAcceptDrops(true);
    setWindowTitle(QString::fromStdString(application().Title));
    ClearListing();
    ApplyOptions();
    // The menus show the lists themselves; a change only moves the Recent commands' states.
    recent_.SetOnChange([this] { scheduleUpdate(); });
    LoadMRUFolders();
    LoadMRUFiles();
    UpdateColumnCaptions();

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] { Guard([this] { alMainUpdate(); }); });
    idle->start(kIdleUpdateMs);
    alMainUpdate();
}

TKAVUMain::~TKAVUMain() {
    // The stored properties are read while the window is whole. The worker stops first (it
    // never waits on a window that is going), then the lists are stored; the options
    // follow in the program's teardown.
    Storage_->FormDestroy();
    delete runner_;
    runner_ = nullptr;
    SaveMRUFolders();
    SaveMRUFiles();
    releaseBars();
}

void TKAVUMain::on(A id, std::function<void()> handler) { handlers_[std::size_t(id)] = std::move(handler); }

void TKAVUMain::bindHandlers() {
    // Select Folder opens at the listed folder; otherwise both open where a dialog was used
    // last. The options' default folder is where saved icons go, not where sources are.
    on(A::actFileSelectDir, [this] {
        std::string folder = listing_.SelectedFolder();
        if (BrowseForDirectory(services_, this, folder, kSelectFolderCaption, kSelectFolderHelpContext)) SelectFolder(folder);
    });
    on(A::actFileSelectFile, [this] {
        TOpenDialogSpec spec{kSelectFileCaption, "exe", kSelectFileFilter, "", kSelectFileHelpContext};
        if (std::optional<std::string> file = services_.OpenFileName(this, spec)) SelectFile(*file);
    });
    on(A::actFileExtractIcons, [this] { startExtraction(); });
    on(A::actFileExit, [this] { close(); });
    on(A::actFilePreferences, [this] {
        ShowOptionsDlg(context_, &DesktopShellVerb(), [this] { ApplyOptions(); }, handler_,
                       [this] { ShowHelp(services_, application(), kPreferencesHelpContext); }, this);
    });
    on(A::actEditSelectAll, [this] { selectionCommand(false); });
    on(A::actEditInvert, [this] { selectionCommand(true); });
    on(A::actViewLargeIcon, [this] { setViewStyle(TViewStyle::vsIcon); });
    on(A::actViewSmallIcon, [this] { setViewStyle(TViewStyle::vsSmallIcon); });
    on(A::actViewList, [this] { setViewStyle(TViewStyle::vsList); });
    on(A::actViewReport, [this] { setViewStyle(TViewStyle::vsReport); });
    on(A::actArrangeByName, [this] { arrange(0); });
    on(A::actArrangeByFile, [this] { arrange(1); });
    on(A::actViewPreview, [this] { togglePreview(); });
    // What the user asked for, not whether the bar shows now: a floating bar hides while
    // another program is active.
    on(A::actViewToolbar, [this] { tbMain->setVisible(!tbMain->Visible()); });
    on(A::actViewStatusBar, [this] { pBottom->setVisible(pBottom->isHidden()); });
    on(A::actHelpContents, [this] { ShowHelp(services_, application()); });
    on(A::actHelpOnTheWeb, [this] { OpenURL(services_, application().WebAddresses.WebSite); });
    on(A::actHelpSendEmail, [this] { SendSupportMail(services_, application()); });
    on(A::actHelpAbout, [this] { showAbout(); });
    bindSaveHandlers();
    on(A::actHelpTipOfTheDay, [this] { showTipOfTheDay(true); });
    on(A::actIconFileProperties, [this] { showFileProperties(); });
}

void TKAVUMain::SetMenuImages(bool highColour) {
    menuImages_ = MakeMenuImages(highColour);
    if (favoritesDialogs_) favoritesDialogs_->HighColour = highColour;  // the dialogs' pictures
    for (const TActionInfo& info : MainActionTable()) {
        if (info.ImageIndex < 0 || std::size_t(info.ImageIndex) >= menuImages_.size()) continue;
        Action(info.Id)->setIcon(menuImages_[std::size_t(info.ImageIndex)]);
    }
    tb::TTBCustomImageList& images = bars_->Images(highColour);
    bars_->MenuItems().SetSubMenuImages(&images);
    bars_->MainItems().SetSubMenuImages(&images);
    tbMenu->SetImages(&images);
    tbMain->SetImages(&images);
    popIcons->SetImages(&images);
}

TMainSnapshot TKAVUMain::Snapshot() const {
    TMainSnapshot s;
    s.Busy = busy_;
    s.ViewStyle = lvIcons->ViewStyle();
    s.PreviewVisible = !pPreview->isHidden();
    s.ToolbarVisible = tbMain->Visible();
    s.StatusBarVisible = !pBottom->isHidden();
    s.SortColumn = order_.Column;
    s.ItemCount = lvIcons->ItemCount();
    s.SelCount = lvIcons->SelectedCount();
    s.PathSelected = listing_.PathSelected();
    s.FilterActive = listing_.FilterActive();
    s.FindLastIndex = context_.FindInfo.LastIndex;
    s.EditorSet = !context_.Options.IconEditApp.empty();
    s.HasRecentFolders = !recent_.Folders.Items().empty();
    s.HasRecentFiles = !recent_.Files.Items().empty();
    return s;
}

void TKAVUMain::alMainUpdate() {
    updateScheduled_ = false;
    states_ = gs::alMainUpdate(Snapshot());
    for (std::size_t i = 0; i < kMainActionCount; ++i) {
        actions_[i]->setEnabled(states_[i].Enabled);
        if (actions_[i]->isCheckable()) actions_[i]->setChecked(states_[i].Checked);
    }
    if (!Idle()) return;
    TIconDef* first = lvIcons->FirstSelected();
    const int count = lvIcons->SelectedCount();
    if (first == lastPreviewItem_ && count == lastSelCount_) return;
    lastPreviewItem_ = first;
    lastSelCount_ = count;
    UpdatePreview(first != nullptr);
}

void TKAVUMain::scheduleUpdate() {
    if (updateScheduled_) return;
    updateScheduled_ = true;
    QTimer::singleShot(0, this, [this] { Guard([this] { alMainUpdate(); }); });
}

void TKAVUMain::Execute(A id) {
    alMainUpdate();
    if (!states_[std::size_t(id)].Enabled || !handlers_[std::size_t(id)]) return;
    handlers_[std::size_t(id)]();
    scheduleUpdate();
}

void TKAVUMain::setPanel(int panel, const QString& text) { panels_[std::size_t(panel)]->setText(text); }

void TKAVUMain::showHint(const QString& hint) {
    // Hints reach the status bar only while idle; busy texts stay.
    if (Idle()) setPanel(0, hint);
}

void TKAVUMain::ClearListing() {
    listing_.ClearSource();
    listing_.Clear();
    for (int panel : {1, 2, 3}) setPanel(panel, {});
}

void TKAVUMain::ApplyOptions() {
    TKAVUOptions& o = context_.Options;
    Storage_->Active = o.SaveWindow;
    recent_.SetMaxItems(o.EffectiveMRULimit());
    // A face that is not installed is drawn as the one standing in for it; the options keep
    // the name the user chose, for a machine that has that face.
    QFont listFont(FontFaceInUse(QString::fromStdString(o.ListFontName)));
    listFont.setPointSize(FontSizeIndexToPoints(o.ListFontSize));
    lvIcons->SetListFont(listFont);
    const QPalette system = QApplication::palette();
    const QColor back = o.ListWindowsColors ? system.color(QPalette::Base) : ListColour(o.ListBackColor, system);
    const QColor text = o.ListWindowsColors ? system.color(QPalette::Text) : ListColour(o.ListTextColor, system);
    lvIcons->SetColours(back, text);
    for (QWidget* w : {static_cast<QWidget*>(lbIconPreview), static_cast<QWidget*>(lblFileName), static_cast<QWidget*>(pPleaseWait)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, back);
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Text, text);
        pal.setColor(QPalette::WindowText, text);
        w->setPalette(pal);
    }
    lbIconPreview->setFont(listFont);
    lblFileName->setFont(listFont);
}

void TKAVUMain::UpdateColumnCaptions() {
    const std::array<std::string, 2> captions = order_.Captions();
    lvIcons->SetColumnCaptions(QString::fromStdString(captions[0]), QString::fromStdString(captions[1]));
}

void TKAVUMain::arrange(int column) {
    order_.Arrange(column);
    UpdateColumnCaptions();
    lvIcons->Sort(order_.Column, order_.Ascending);
}

void TKAVUMain::setViewStyle(TViewStyle style) {
    lvIcons->SetViewStyle(style);
}

void TKAVUMain::showBottomForBusy() {
    bottomWasHidden_ = pBottom->isHidden();
    if (bottomWasHidden_) pBottom->show();
}

void TKAVUMain::beginBusy(TBusyState state, int selected) {
    const bool extracting = state == TBusyState::Extracting;
    busy_ = state;
    stopping_ = false;
    // A save of few icons shows no busy page, but its commands are off all the same.
    savePage_ = !extracting && SaveMakesBusy(selected);
    if (extracting) {
        forgetPreview();
        anPleaseWait->SetActive(true);
        setPanel(1, {});
        lblFileName->clear();
    }
    if (extracting || savePage_) {
        anPleaseWait->setVisible(extracting);
        anSavePleaseWait->setVisible(!extracting);
        setPanel(0, extracting ? kMsgExtracting : kMsgSaving);
        pClient->setCurrentWidget(pPleaseWait);
        showBottomForBusy();
        pStop->show();
        SetFavoritesEnabled(false);
    }
    alMainUpdate();
}

void TKAVUMain::endBusy(TBusyState spell) {
    if (busy_ != spell) return;
    const bool extracting = busy_ == TBusyState::Extracting;
    if (extracting) {
        showBusyTexts();
        lblFileName->clear();
        anPleaseWait->SetActive(false);
        lvIcons->Model().Flush();
    }
    const bool page = extracting || savePage_;
    busy_ = TBusyState::Idle;
    savePage_ = false;
    if (page) {
        SetFavoritesEnabled(true);
        pStop->hide();
        if (bottomWasHidden_) pBottom->hide();
        anPleaseWait->hide();
        anSavePleaseWait->hide();
        setPanel(0, {});
        pClient->setCurrentWidget(pDefault);
    }
    alMainUpdate();
}

bool TKAVUMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && firstActivate_) {
        firstActivate_ = false;
        // After the activation is through, so the tip window sits on a window that is up.
        if (context_.Options.ShowTips)
            QTimer::singleShot(0, this, [this] {
                Guard([this] {
                    alMainUpdate();
                    showTipOfTheDay(false);
                });
            });
    }
    return QWidget::event(e);
}

void TKAVUMain::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    UpdateColumnCaptions();
    if (!firstShow_) return;
    firstShow_ = false;
    QTimer::singleShot(0, this, [this] { Guard([this] { tellStoreNotices(); }); });
    if (QScreen* screen = this->screen(); screen && !Storage_->PlacementApplied()) {
        const QRect area = screen->availableGeometry();
        const TScreenRect placed = CenterRectOnScreen({0, 0, width(), height()}, area.width(), area.height());
        move(area.left() + placed.Left, area.top() + placed.Top);
    }
    const TCommandLine start = start_;
    if (start.Mode != TRunMode::rmFile && start.Mode != TRunMode::rmFolder) return;
    firstActivate_ = false;
    // After the window is up, so a box about a vanished path has a window to sit on.
    QTimer::singleShot(0, this, [this, start] {
        Guard([&] {
            if (start.Mode == TRunMode::rmFile) MRUFilesClick(start.StartPath);
            else MRUFoldersClick(start.StartPath);
        });
    });
}

void TKAVUMain::closeEvent(QCloseEvent* e) {
    if (Idle()) {
        e->accept();
        return;
    }
    e->ignore();
    Guard([this] {
        const TQBApplication& app = application();
        services_.Boxes().ShowQBMessage(kMsgStopBeforeClosing, app.Title, TQBMessageType::mtInformation,
                                        TQBButtonSet::bsOK, kFirstButton, app.LanguageId, app.FontName);
    });
}

}  // namespace gs
