#include "app/ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/core/AppContext.h"
#include "app/core/Options.h"
#include "app/ui/AnimatedImage.h"
#include "app/ui/ExtractionRunner.h"
#include "app/ui/FavoritesDlgs.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MenuImages.h"
#include "app/ui/RasterImage.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/RxUtils.h"

namespace gs {

namespace {

using A = TMainAction;
constexpr A kSeparator = A::Count;

const QSize kDesignSize(768, 516);
constexpr int kFontPoints = 8;
constexpr int kBottomHeight = 20;
constexpr int kStopWidth = 64;
constexpr int kPreviewWidth = 150;
constexpr int kPreviewHeaderHeight = 25;
constexpr int kSplitterWidth = 5;
constexpr int kFileNameHeight = 50;
constexpr int kPleaseWaitBevel = 2;
constexpr int kPanelWidths[] = {300, 100, 50, 50};
constexpr int kIdleUpdateMs = 250;
constexpr unsigned kSaveAnimationMs = 60;
constexpr int kBusyTextRefreshMs = 50;
constexpr std::uint16_t kFirstButton = 1;

// Shortcuts are stored as virtual-key codes with modifier bits.
QKeySequence keySequence(int stored) {
    if (stored == 0) return {};
    int key = stored & 0xFF;
    int qtKey = 0;
    if (key >= kVkF1 && key <= kVkF24) qtKey = Qt::Key_F1 + (key - kVkF1);
    else if (key == kVkDelete) qtKey = Qt::Key_Delete;
    else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) qtKey = key;
    else return {};
    int modifiers = 0;
    if (stored & kShortcutCtrl) modifiers |= Qt::CTRL;
    if (stored & kShortcutAlt) modifiers |= Qt::ALT;
    if (stored & kShortcutShift) modifiers |= Qt::SHIFT;
    return QKeySequence(qtKey | modifiers);
}

bool checkable(A id) {
    switch (id) {
        case A::actViewLargeIcon: case A::actViewSmallIcon: case A::actViewList: case A::actViewReport:
        case A::actArrangeByName: case A::actArrangeByFile:
        case A::actViewPreview: case A::actViewToolbar: case A::actViewStatusBar:
            return true;
        default:
            return false;
    }
}

QColor fromColorRef(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QWidget* dock(QWidget* parent, const char* name, Qt::Orientation orientation) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    QBoxLayout* layout = orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(w))
                                                     : static_cast<QBoxLayout*>(new QHBoxLayout(w));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return w;
}

}  // namespace

TKAVUMain::TKAVUMain(TAppContext& context, IMainServices& services, CommandLine start, QWidget* parent)
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
          [&services] { services.Terminate(); }),
      mruFolders_(std::make_unique<TPlainRecentList>()),
      mruFiles_(std::make_unique<TPlainRecentList>()) {
    setObjectName("KAVUMain");
    createComponents();
    createActions();
    createMenus();
    createToolbar();
    createPopup();
    bindHandlers();
    createFavorites();

    busyTextTimer_.setSingleShot(true);
    busyTextTimer_.setInterval(kBusyTextRefreshMs);
    connect(&busyTextTimer_, &QTimer::timeout, this, [this] { showBusyTexts(); });
    runner_ = new ExtractionRunner(*this, this);
    connect(runner_, &ExtractionRunner::Ended, this, [this](ExtractEnd end) { Guard([&] { ExtractThreadTerminate(end); }); });

    const int depth = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 32;
    SetMenuImages(depth != 2 && depth != 4 && depth != 8);
    setAcceptDrops(true);
    setWindowTitle(QString::fromStdString(application().Title));
    resize(kDesignSize);
    ClearListing();
    ApplyOptions();
    mruFolders_->SetOnChange([this] { rebuildRecentMenu(mnuRecentFolders, *mruFolders_, true); });
    mruFiles_->SetOnChange([this] { rebuildRecentMenu(mnuRecentFiles, *mruFiles_, false); });
    LoadMRUFolders();
    LoadMRUFiles();
    UpdateColumnCaptions();

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] { Guard([this] { alMainUpdate(); }); });
    idle->start(kIdleUpdateMs);
    alMainUpdate();
}

TKAVUMain::~TKAVUMain() {
    // The worker stops first (it never waits on a window that is going), then the lists
    // are stored; the options follow in the program's teardown.
    delete runner_;
    runner_ = nullptr;
    SaveMRUFolders();
    SaveMRUFiles();
}

void TKAVUMain::createComponents() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(kFontPoints);
    setFont(font);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    DockTop = dock(this, "DockTop", Qt::Vertical);
    DockLeft = dock(this, "DockLeft", Qt::Vertical);
    DockRight = dock(this, "DockRight", Qt::Vertical);
    DockBottom = dock(this, "DockBottom", Qt::Vertical);
    tbMenu = new QMenuBar(DockTop);
    tbMenu->setObjectName("tbMenu");
    tbMenu->setWindowTitle("Standard Menu");
    tbMain = new QToolBar("Standard Toolbar", DockTop);
    tbMain->setObjectName("tbMain");
    tbMain->setIconSize(QSize(kMenuImageSize, kMenuImageSize));
    tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbMain->setMovable(false);
    DockTop->layout()->addWidget(tbMenu);
    DockTop->layout()->addWidget(tbMain);

    pClient = new QStackedWidget(this);
    pClient->setObjectName("pClient");

    pPleaseWait = new QFrame(pClient);
    pPleaseWait->setObjectName("pPleaseWait");
    pPleaseWait->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pPleaseWait->setLineWidth(kPleaseWaitBevel);
    pPleaseWait->setAutoFillBackground(true);
    auto* waitLayout = new QVBoxLayout(pPleaseWait);
    anSavePleaseWait = new TAnimatedImage(pPleaseWait);
    anSavePleaseWait->setObjectName("anSavePleaseWait");
    anSavePleaseWait->SetGlyph(SavePleaseWaitStrip());
    anSavePleaseWait->SetInterval(kSaveAnimationMs);
    anSavePleaseWait->SetStretch(false);
    anSavePleaseWait->SetCenter(true);
    anSavePleaseWait->SetActive(true);
    anSavePleaseWait->hide();
    anPleaseWait = new TAnimatedImage(pPleaseWait);
    anPleaseWait->setObjectName("anPleaseWait");
    anPleaseWait->SetGlyph(PleaseWaitStrip());
    anPleaseWait->SetStretch(false);
    anPleaseWait->SetCenter(true);
    anPleaseWait->hide();
    lblFileName = new QLabel(pPleaseWait);
    lblFileName->setObjectName("lblFileName");
    lblFileName->setAlignment(Qt::AlignCenter);
    lblFileName->setFixedHeight(kFileNameHeight);
    auto* animations = new QHBoxLayout;
    animations->addStretch();
    animations->addWidget(anSavePleaseWait);
    animations->addWidget(anPleaseWait);
    animations->addStretch();
    waitLayout->addStretch();
    waitLayout->addLayout(animations);
    waitLayout->addStretch();
    waitLayout->addWidget(lblFileName);

    pDefault = new QWidget(pClient);
    pDefault->setObjectName("pDefault");
    auto* defaultLayout = new QHBoxLayout(pDefault);
    defaultLayout->setContentsMargins(0, 0, 0, 0);
    splIcons = new QSplitter(Qt::Horizontal, pDefault);
    splIcons->setObjectName("splIcons");
    splIcons->setHandleWidth(kSplitterWidth);
    splIcons->setChildrenCollapsible(false);
    lvIcons = new TIconListView(splIcons);
    pPreview = new QWidget(splIcons);
    pPreview->setObjectName("pPreview");
    auto* previewLayout = new QVBoxLayout(pPreview);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    pClosePreview = new QWidget(pPreview);
    pClosePreview->setObjectName("pClosePreview");
    pClosePreview->setFixedHeight(kPreviewHeaderHeight);
    auto* headerLayout = new QHBoxLayout(pClosePreview);
    headerLayout->setContentsMargins(4, 0, 2, 0);
    headerLayout->addWidget(new QLabel("Preview", pClosePreview));
    headerLayout->addStretch();
    auto* cmdClosePreview = new QToolButton(pClosePreview);
    cmdClosePreview->setObjectName("cmdClosePreview");
    cmdClosePreview->setAutoRaise(true);
    cmdClosePreview->setText(QStringLiteral("\u00D7"));
    cmdClosePreview->setToolTip("Close preview");
    headerLayout->addWidget(cmdClosePreview);
    connect(cmdClosePreview, &QToolButton::clicked, this, [this] { Execute(A::actViewPreview); });
    lbIconPreview = new QListWidget(pPreview);
    lbIconPreview->setObjectName("lbIconPreview");
    lbIconPreview->setIconSize(QSize(48, 48));
    lbIconPreview->setSelectionMode(QAbstractItemView::NoSelection);
    lbIconPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    previewLayout->addWidget(pClosePreview);
    previewLayout->addWidget(lbIconPreview);
    splIcons->addWidget(lvIcons);
    splIcons->addWidget(pPreview);
    splIcons->setStretchFactor(0, 1);
    splIcons->setSizes({kDesignSize.width() - kPreviewWidth, kPreviewWidth});
    defaultLayout->addWidget(splIcons);
    pClient->addWidget(pPleaseWait);
    pClient->addWidget(pDefault);
    pClient->setCurrentWidget(pDefault);

    pBottom = new QWidget(this);
    pBottom->setObjectName("pBottom");
    pBottom->setFixedHeight(kBottomHeight + 4);
    auto* bottomLayout = new QHBoxLayout(pBottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    pStop = new QWidget(pBottom);
    pStop->setObjectName("pStop");
    pStop->setFixedWidth(kStopWidth);
    auto* stopLayout = new QHBoxLayout(pStop);
    stopLayout->setContentsMargins(1, 1, 1, 1);
    cmdStop = new QPushButton("&Stop", pStop);
    cmdStop->setObjectName("cmdStop");
    stopLayout->addWidget(cmdStop);
    pStop->hide();
    connect(cmdStop, &QPushButton::clicked, this, [this] { Guard([this] { cmdStopClick(); }); });
    sbMain = new QStatusBar(pBottom);
    sbMain->setObjectName("sbMain");
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(sbMain);
        panels_[i]->setObjectName(QString("sbMainPanel%1").arg(i));
        panels_[i]->setMinimumWidth(kPanelWidths[i]);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sbMain->addWidget(panels_[i], i + 1 == panels_.size() ? 1 : 0);
    }
    bottomLayout->addWidget(pStop);
    bottomLayout->addWidget(sbMain, 1);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(DockLeft);
    middle->addWidget(pClient, 1);
    middle->addWidget(DockRight);
    root->addWidget(DockTop);
    root->addLayout(middle, 1);
    root->addWidget(DockBottom);
    root->addWidget(pBottom);

    connect(&lvIcons->Selection(), &QItemSelectionModel::selectionChanged, this, [this] { scheduleUpdate(); });
    connect(&lvIcons->Model(), &TIconListModel::Flushed, this, [this] { scheduleUpdate(); });
}

void TKAVUMain::createActions() {
    for (const TActionInfo& info : MainActionTable()) {
        auto* action = new QAction(QString::fromUtf8(info.Caption), this);
        action->setObjectName(info.Name);
        action->setStatusTip(QString::fromUtf8(info.Hint));
        action->setToolTip(QString::fromUtf8(info.Hint));
        action->setShortcut(keySequence(info.ShortCut));
        action->setCheckable(checkable(info.Id));
        // Shortcuts work wherever the focus is in the window, menus open or not.
        addAction(action);
        const A id = info.Id;
        connect(action, &QAction::triggered, this, [this, id] { Guard([&] { if (handlers_[std::size_t(id)]) handlers_[std::size_t(id)](); }); });
        actions_[std::size_t(id)] = action;
        views_[std::size_t(id)].push_back(action);
    }
}

QAction* TKAVUMain::menuEntry(A id) {
    const TActionInfo& info = ActionInfo(id);
    QAction* action = Action(id);
    if (!info.MenuCaption) return action;
    // The menu bar's own caption: a twin entry that runs the command and shows its
    // shortcut without owning it (one key, one command).
    auto* twin = new QAction(QString::fromUtf8(info.MenuCaption) + '\t' + action->shortcut().toString(QKeySequence::NativeText), this);
    twin->setObjectName(QString::fromUtf8(info.Name) + "Menu");
    twin->setStatusTip(action->statusTip());
    connect(twin, &QAction::triggered, action, &QAction::trigger);
    views_[std::size_t(id)].push_back(twin);
    return twin;
}

QMenu* TKAVUMain::addCommands(QMenu* menu, std::initializer_list<A> commands) {
    for (A id : commands) {
        if (id == kSeparator) menu->addSeparator();
        else menu->addAction(menuEntry(id));
    }
    return menu;
}

void TKAVUMain::createMenus() {
    auto head = [&](A id) {
        QMenu* menu = tbMenu->addMenu(Action(id)->text());
        menu->setObjectName(QString::fromUtf8(ActionInfo(id).Name).replace("act", "mnu"));
        menu->menuAction()->setStatusTip(Action(id)->statusTip());
        views_[std::size_t(id)].push_back(menu->menuAction());
        connect(menu, &QMenu::aboutToShow, this, [this] { Guard([this] { alMainUpdate(); }); });
        return menu;
    };
    auto submenu = [&](QMenu* parent, A id) {
        QMenu* menu = parent->addMenu(Action(id)->text());
        menu->menuAction()->setStatusTip(Action(id)->statusTip());
        views_[std::size_t(id)].push_back(menu->menuAction());
        return menu;
    };
    QMenu* file = head(A::actFile);
    addCommands(file, {A::actFileSelectDir, A::actFileSelectFile, kSeparator});
    mnuRecentFolders = submenu(file, A::actFileRecentFolders);
    mnuRecentFiles = submenu(file, A::actFileRecentFiles);
    addCommands(file, {kSeparator, A::actFileExtractIcons, kSeparator, A::actFilePreferences, kSeparator, A::actFileExit});

    addCommands(head(A::actEdit),
                {A::actEditCopyToClipboard, kSeparator, A::actEditCopy48x48ToClipboard, A::actEditCopy32x32ToClipboard,
                 A::actEditCopy16x16ToClipboard, kSeparator, A::actEditSelectAll, A::actEditInvert, kSeparator,
                 A::actEditRename, A::actEditRemove, kSeparator, A::actEditFind, A::actEditFindNext});

    QMenu* viewMenu = head(A::actView);
    addCommands(viewMenu, {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport, kSeparator});
    addCommands(submenu(viewMenu, A::actViewArrange), {A::actArrangeByName, A::actArrangeByFile});
    addCommands(viewMenu, {kSeparator, A::actViewFilter, A::actViewRemoveFilter, kSeparator, A::actViewPreview,
                           A::actViewToolbar, A::actViewStatusBar});

    addCommands(head(A::actIcon),
                {A::actIconEditIcon, kSeparator, A::actIconSaveIcons, kSeparator, A::actIconSaveBitmaps, kSeparator,
                 A::actIconSaveImages, kSeparator, A::actIconAddToNewICL, A::actIconAddToExistingICL, kSeparator,
                 A::actIconSendTo, kSeparator, A::actIconFileProperties});
    addCommands(head(A::actFavorites), {A::actFavoritesAdd, A::actFavoritesOrganize});
    addCommands(head(A::actHelp), {A::actHelpContents, A::actHelpTipOfTheDay, kSeparator, A::actHelpOnTheWeb,
                                   A::actHelpSendEmail, kSeparator, A::actHelpAbout});

    // The view styles are one choice.
    auto* styles = new QActionGroup(this);
    for (A id : {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport}) styles->addAction(Action(id));
}

void TKAVUMain::createToolbar() {
    auto dropDown = [&](A id, std::initializer_list<A> items, QToolButton::ToolButtonPopupMode mode, QAction* shown) {
        auto* menu = new QMenu(this);
        addCommands(menu, items);
        auto* button = new QToolButton(tbMain);
        button->setObjectName(QString::fromUtf8(ActionInfo(id).Name) + "Button");
        button->setPopupMode(mode);
        button->setMenu(menu);
        button->setDefaultAction(shown);
        tbMain->addWidget(button);
        return button;
    };
    tbMain->addAction(Action(A::actFileSelectDir));
    tbMain->addAction(Action(A::actFileSelectFile));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actFileExtractIcons));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actIconEditIcon));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actIconFileProperties));
    tbMain->addSeparator();
    dropDown(A::actEditCopyToClipboard,
             {A::actEditCopy48x48ToClipboard, A::actEditCopy32x32ToClipboard, A::actEditCopy16x16ToClipboard},
             QToolButton::MenuButtonPopup, Action(A::actEditCopyToClipboard));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actEditFind));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actIconSaveIcons));
    tbMain->addAction(Action(A::actIconSaveBitmaps));
    tbMain->addAction(Action(A::actIconSaveImages));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actIconSendTo));
    tbMain->addSeparator();
    dropDown(A::actViewView, {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport},
             QToolButton::InstantPopup, Action(A::actViewView));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actViewFilter));
    tbMain->addSeparator();
    tbMain->addAction(Action(A::actHelpContents));
}

void TKAVUMain::createPopup() {
    popIcons = new QMenu(this);
    popIcons->setObjectName("popIcons");
    addCommands(popIcons, {A::actFileSelectDir, A::actFileSelectFile, kSeparator, A::actFileExtractIcons, kSeparator,
                           A::actEditCopyToClipboard, kSeparator, A::actIconEditIcon, kSeparator});
    QMenu* save = popIcons->addMenu(Action(A::actIconSave)->text());
    views_[std::size_t(A::actIconSave)].push_back(save->menuAction());
    addCommands(save, {A::actIconSaveIcons, A::actIconSave48x48Icons, A::actIconSave32x32Icons, A::actIconSave16x16Icons,
                       kSeparator, A::actIconSaveBitmaps, A::actIconSave48x48Bitmaps, A::actIconSave32x32Bitmaps,
                       A::actIconSave16x16Bitmaps, kSeparator, A::actIconSaveImages, A::actIconSave48x48Images,
                       A::actIconSave32x32Images, A::actIconSave16x16Images});
    addCommands(popIcons, {kSeparator, A::actIconAddToNewICL, A::actIconAddToExistingICL, kSeparator, A::actIconSendTo,
                           kSeparator});
    QMenu* viewMenu = popIcons->addMenu(Action(A::actViewView)->text());
    views_[std::size_t(A::actViewView)].push_back(viewMenu->menuAction());
    addCommands(viewMenu, {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport});
    addCommands(popIcons, {kSeparator, A::actViewFilter, A::actViewRemoveFilter, kSeparator, A::actEditSelectAll,
                           A::actEditInvert, kSeparator, A::actEditRename, A::actEditRemove});
    auto showPopup = [this](QWidget* source, const QPoint& at) {
        Guard([&] {
            alMainUpdate();
            popIcons->popup(source->mapToGlobal(at));
        });
    };
    for (QWidget* source : {static_cast<QWidget*>(lvIcons->IconView()), static_cast<QWidget*>(lvIcons->ReportView()),
                            static_cast<QWidget*>(lbIconPreview)})
        connect(source, &QWidget::customContextMenuRequested, this, [source, showPopup](const QPoint& at) {
            showPopup(source, at);
        });
}

void TKAVUMain::on(A id, std::function<void()> handler) { handlers_[std::size_t(id)] = std::move(handler); }

void TKAVUMain::bindHandlers() {
    on(A::actFileSelectDir, [this] {
        std::string folder = SelectedFolder;
        if (BrowseForDirectory(services_, this, folder, kSelectFolderCaption)) SelectFolder(folder);
    });
    on(A::actFileSelectFile, [this] {
        TOpenDialogSpec spec{kSelectFileCaption, "exe", kSelectFileFilter, context_.Options.DefaultFolder};
        if (std::optional<std::string> file = services_.OpenFileName(this, spec)) SelectFile(*file);
    });
    on(A::actFileExtractIcons, [this] { startExtraction(); });
    on(A::actFileExit, [this] { close(); });
    on(A::actEditSelectAll, [this] { lvIcons->SelectAll(); });
    on(A::actEditInvert, [this] { invertSelection(); });
    on(A::actViewLargeIcon, [this] { setViewStyle(TViewStyle::vsIcon); });
    on(A::actViewSmallIcon, [this] { setViewStyle(TViewStyle::vsSmallIcon); });
    on(A::actViewList, [this] { setViewStyle(TViewStyle::vsList); });
    on(A::actViewReport, [this] { setViewStyle(TViewStyle::vsReport); });
    on(A::actArrangeByName, [this] { arrange(0); });
    on(A::actArrangeByFile, [this] { arrange(1); });
    on(A::actViewPreview, [this] {
        pPreview->setVisible(pPreview->isHidden());
        LastPreviewItem = nullptr;
        LastSelCount = -1;
    });
    on(A::actViewToolbar, [this] { tbMain->setVisible(tbMain->isHidden()); });
    on(A::actViewStatusBar, [this] { pBottom->setVisible(pBottom->isHidden()); });
    on(A::actHelpContents, [this] { ShowHelp(services_, application()); });
    on(A::actHelpOnTheWeb, [this] { OpenURL(services_, application().WebAddresses.WebSite); });
    on(A::actHelpSendEmail, [this] { SendSupportMail(services_, application()); });
    on(A::actHelpAbout, [this] { showAbout(); });
}

void TKAVUMain::SetMenuImages(bool highColour) {
    menuImages_ = MakeMenuImages(highColour);
    if (favoritesDialogs_) favoritesDialogs_->HighColour = highColour;  // the dialogs' and Favorites menu's pictures
    for (const TActionInfo& info : MainActionTable()) {
        if (info.ImageIndex < 0 || std::size_t(info.ImageIndex) >= menuImages_.size()) continue;
        for (QAction* view : views_[std::size_t(info.Id)]) view->setIcon(menuImages_[std::size_t(info.ImageIndex)]);
    }
}

TMainSnapshot TKAVUMain::Snapshot() const {
    TMainSnapshot s;
    s.Busy = busy_;
    s.ViewStyle = lvIcons->ViewStyle();
    s.PreviewVisible = !pPreview->isHidden();
    s.ToolbarVisible = !tbMain->isHidden();
    s.StatusBarVisible = !pBottom->isHidden();
    s.SortColumn = SortColumn;
    s.ItemCount = lvIcons->ItemCount();
    s.SelCount = lvIcons->SelectedCount();
    s.PathSelected = !SelectedFolder.empty() || !SelectedFile.empty();
    s.FilterActive = filterActive_;
    s.FindLastIndex = context_.FindInfo.LastIndex;
    s.EditorSet = !context_.Options.IconEditApp.empty();
    s.HasRecentFolders = !mruFolders_->Items().empty();
    s.HasRecentFiles = !mruFiles_->Items().empty();
    return s;
}

void TKAVUMain::alMainUpdate() {
    updateScheduled_ = false;
    states_ = gs::alMainUpdate(Snapshot());
    for (std::size_t i = 0; i < kMainActionCount; ++i) {
        const bool enabled = states_[i].Enabled;
        for (QAction* view : views_[i]) {
            view->setEnabled(enabled);
            if (view->isCheckable()) view->setChecked(states_[i].Checked);
        }
    }
    if (!Idle()) return;
    TIconDef* first = lvIcons->FirstSelected();
    const int count = lvIcons->SelectedCount();
    if (first == LastPreviewItem && count == LastSelCount) return;
    LastPreviewItem = first;
    LastSelCount = count;
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

QString TKAVUMain::PanelText(int panel) const { return panels_[std::size_t(panel)]->text(); }

void TKAVUMain::ClearListing() {
    SelectedFolder.clear();
    SelectedFile.clear();
    lvIcons->Clear();
    IconCount = 0;
    for (int panel : {1, 2, 3}) setPanel(panel, {});
}

void TKAVUMain::ApplyOptions() {
    const TKAVUOptions& o = context_.Options;
    mruFolders_->SetMaxItems(o.EffectiveMRULimit());
    mruFiles_->SetMaxItems(o.EffectiveMRULimit());
    QFont listFont(QString::fromStdString(o.ListFontName));
    listFont.setPointSize(FontSizeIndexToPoints(o.ListFontSize));
    lvIcons->SetListFont(listFont);
    const QPalette system = QApplication::palette();
    const QColor back = o.ListWindowsColors ? system.color(QPalette::Base) : fromColorRef(o.ListBackColor);
    const QColor text = o.ListWindowsColors ? system.color(QPalette::Text) : fromColorRef(o.ListTextColor);
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
    const QString order = SortAscending ? " (ASC)" : " (DESC)";
    if (SortColumn == 0) lvIcons->SetColumnCaptions("Icon" + order, "Original File");
    else lvIcons->SetColumnCaptions("Icon", "Original File" + order);
}

void TKAVUMain::arrange(int column) {
    if (SortColumn != column) {
        SortColumn = column;
        SortAscending = true;
    } else {
        SortAscending = !SortAscending;
    }
    UpdateColumnCaptions();
    lvIcons->Sort(SortColumn, SortAscending);
}

void TKAVUMain::invertSelection() {
    QItemSelectionModel& selection = lvIcons->Selection();
    const QAbstractItemModel* model = selection.model();
    QItemSelection all(model->index(0, 0), model->index(model->rowCount() - 1, 0));
    selection.select(all, QItemSelectionModel::Toggle);
}

void TKAVUMain::setViewStyle(TViewStyle style) {
    lvIcons->SetViewStyle(style);
}

void TKAVUMain::UpdatePreview(bool hasSelection) {
    lbIconPreview->clear();
    if (!hasSelection || LastSelCount >= 2 || !LastPreviewItem) return;
    // The pictures the listing already holds; each with its size.
    for (const auto* icon : {LastPreviewItem->Icon32.get(), LastPreviewItem->Icon16.get()}) {
        const QPixmap picture = IconPixmap(icon);
        if (picture.isNull()) continue;
        auto* line = new QListWidgetItem(QIcon(picture), QString("%1x%2").arg(picture.width()).arg(picture.height()));
        lbIconPreview->addItem(line);
    }
}

void TKAVUMain::showBottomForBusy() {
    BottomWasHidden = pBottom->isHidden();
    if (BottomWasHidden) pBottom->show();
}

void TKAVUMain::BeginExtractionBusy() {
    LastPreviewItem = nullptr;
    LastSelCount = -1;
    anPleaseWait->SetActive(true);
    anPleaseWait->show();
    anSavePleaseWait->hide();
    setPanel(0, kMsgExtracting);
    setPanel(1, {});
    lvIcons->Clear();
    busy_ = TBusyState::Extracting;
    stopping_ = false;
    pClient->setCurrentWidget(pPleaseWait);
    showBottomForBusy();
    lblFileName->clear();
    pStop->show();
    IconCount = 0;
    SetFavoritesEnabled(false);
    alMainUpdate();
}

void TKAVUMain::EndExtractionBusy() {
    showBusyTexts();
    lblFileName->clear();
    SetFavoritesEnabled(true);
    pStop->hide();
    if (BottomWasHidden) pBottom->hide();
    anPleaseWait->SetActive(false);
    anPleaseWait->hide();
    anSavePleaseWait->hide();
    setPanel(0, {});
    lvIcons->Model().Flush();
    busy_ = TBusyState::Idle;
    pClient->setCurrentWidget(pDefault);
    alMainUpdate();
}

bool TKAVUMain::BeginSaveBusy(int selected) {
    if (!SaveMakesBusy(selected)) return false;
    anSavePleaseWait->show();
    anPleaseWait->hide();
    setPanel(0, kMsgSaving);
    busy_ = TBusyState::Saving;
    pClient->setCurrentWidget(pPleaseWait);
    showBottomForBusy();
    SetFavoritesEnabled(false);
    alMainUpdate();
    return true;
}

void TKAVUMain::EndSaveBusy() {
    if (busy_ != TBusyState::Saving) return;
    SetFavoritesEnabled(true);
    if (BottomWasHidden) pBottom->hide();
    anSavePleaseWait->hide();
    anPleaseWait->hide();
    setPanel(0, {});
    busy_ = TBusyState::Idle;
    pClient->setCurrentWidget(pDefault);
    alMainUpdate();
}

void TKAVUMain::showAbout() {
    const TQBApplication& app = application();
    const std::string text = app.Title + "\n" + app.VersionText + (app.Copyright.empty() ? "" : "\n" + app.Copyright);
    services_.Boxes().ShowQBMessage(text, app.Title, std::uint8_t(TQBMessageType::mtInformation),
                                    std::uint8_t(TQBButtonSet::bsOK), kFirstButton, app.LanguageId, app.FontName);
}

bool TKAVUMain::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        // Hints reach the status bar only while idle; busy texts stay.
        if (Idle()) setPanel(0, static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate && FirstActivate) FirstActivate = false;  // no tip window yet
    return QWidget::event(e);
}

void TKAVUMain::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    UpdateColumnCaptions();
    if (!FirstShow) return;
    FirstShow = false;
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const TScreenRect placed = CenterRectOnScreen({0, 0, width(), height()}, area.width(), area.height());
        move(area.left() + placed.Left, area.top() + placed.Top);
    }
    const CommandLine start = start_;
    if (start.Mode != TRunMode::rmFile && start.Mode != TRunMode::rmFolder) return;
    FirstActivate = false;
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
        services_.Boxes().ShowQBMessage(kMsgStopBeforeClosing, app.Title, std::uint8_t(TQBMessageType::mtInformation),
                                        std::uint8_t(TQBButtonSet::bsOK), kFirstButton, app.LanguageId, app.FontName);
    });
}

}  // namespace gs
