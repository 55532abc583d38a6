// The main window's widgets and commands, made once at creation, and the hosts of the
// menu bar, toolbar and popup menu over the item trees of TMainBars.
#include "app/ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/core/AppContext.h"
#include "app/core/Options.h"
#include "controls/ui/AnimatedImage.h"
#include "app/ui/ElidedLabel.h"
#include "app/ui/IconListView.h"
#include "app/ui/IconPreview.h"
#include "app/ui/MainBars.h"
#include "app/ui/MainJobRunner.h"
#include "app/ui/MainServices.h"
#include "app/ui/MenuImages.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/RxUtils.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtKeyMenu.h"
#include "toolbar/ui/QtSystemMenu.h"
#include "toolbar/ui/QtToolbar.h"

namespace gs {

namespace {

using A = TMainAction;

// The window the toolbar library's action updater and hint setter reach.
TKAVUMain* gBarsWindow = nullptr;

// Shift+F10 asks for a context menu as the Menu key does, as it does on Linux desktops:
// the same keyboard request, at the same place. Qt makes that request for the Menu key alone.
class TContextMenuKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F10 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        const QPoint at = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at), key->modifiers());
        QCoreApplication::sendEvent(widget, &request);
        return true;
    }
};

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
constexpr unsigned kSaveAnimationMs = 60;

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

tb::TTBDock* dock(QWidget* parent, const char* name, tb::TTBDockPosition position) {
    auto* d = new tb::TTBDock(parent, position);
    d->setObjectName(name);
    return d;
}

}  // namespace

void TKAVUMain::createComponents() {
    QFont font(QString::fromLatin1(kDefaultFontName));
    font.setPointSize(kFontPoints);
    setFont(font);
    resize(kDesignSize);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    DockTop = dock(this, "DockTop", tb::TTBDockPosition::dpTop);
    DockLeft = dock(this, "DockLeft", tb::TTBDockPosition::dpLeft);
    DockRight = dock(this, "DockRight", tb::TTBDockPosition::dpRight);
    DockBottom = dock(this, "DockBottom", tb::TTBDockPosition::dpBottom);

    pClient = new QStackedWidget(this);
    pClient->setObjectName("pClient");
    createPleaseWait();
    createListArea();
    pClient->addWidget(pPleaseWait);
    pClient->addWidget(pDefault);
    pClient->setCurrentWidget(pDefault);
    createBottom();

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

void TKAVUMain::createPleaseWait() {
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
    lblFileName = new TElidedLabel(pPleaseWait);
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
}

void TKAVUMain::createListArea() {
    pDefault = new QWidget(pClient);
    pDefault->setObjectName("pDefault");
    auto* defaultLayout = new QHBoxLayout(pDefault);
    defaultLayout->setContentsMargins(0, 0, 0, 0);
    splIcons = new QSplitter(Qt::Horizontal, pDefault);
    splIcons->setObjectName("splIcons");
    splIcons->setHandleWidth(kSplitterWidth);
    splIcons->setChildrenCollapsible(false);
    lvIcons = new TIconListView(splIcons);
    listing_.SetObserver(&lvIcons->Model());
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
    connect(cmdClosePreview, &QToolButton::clicked, this, [this] { Guard([this] { Execute(A::actViewPreview); }); });
    lbIconPreview = new TIconPreviewList(pPreview);
    lbIconPreview->setObjectName("lbIconPreview");
    lbIconPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    previewLayout->addWidget(pClosePreview);
    previewLayout->addWidget(lbIconPreview);
    splIcons->addWidget(lvIcons);
    splIcons->addWidget(pPreview);
    splIcons->setStretchFactor(0, 1);
    splIcons->setSizes({kDesignSize.width() - kPreviewWidth, kPreviewWidth});
    defaultLayout->addWidget(splIcons);
}

void TKAVUMain::createBottom() {
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
        panels_[i] = new TElidedLabel(sbMain);
        panels_[i]->setObjectName(QString("sbMainPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const bool last = i + 1 == panels_.size();
        // Panels keep their widths and the last takes the rest: a long path never widens
        // the window, it is elided within the panel.
        if (last) {
            panels_[i]->setMinimumWidth(kPanelWidths[i]);
            panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        } else {
            panels_[i]->setFixedWidth(kPanelWidths[i]);
        }
        sbMain->addWidget(panels_[i], last ? 1 : 0);
    }
    bottomLayout->addWidget(pStop);
    bottomLayout->addWidget(sbMain, 1);
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
        action->setProperty(tb::TQtActionSource::kImageIndexProperty, info.ImageIndex);
        // A modal window over this one has the user's attention: no command of this window
        // runs beneath it, however its shortcut or item was reached.
        connect(action, &QAction::triggered, this, [this, id] {
            if (tb::BlockedByModal(this)) return;
            Guard([&] { if (handlers_[std::size_t(id)]) handlers_[std::size_t(id)](); });
        });
        actions_[std::size_t(id)] = action;
    }
    // The view styles are one choice.
    auto* styles = new QActionGroup(this);
    for (A id : {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport}) styles->addAction(Action(id));
}

void TKAVUMain::createBars() {
    gBarsWindow = this;
    bars_ = std::make_unique<TMainBars>([this](A id) { return Action(id); }, recent_.Folders.List(), recent_.Files.List());
    // The menus opening and the items clicking update the commands first, as the idle
    // update does.
    tb::SetActionUpdater([this](QAction*) { Guard([this] { alMainUpdate(); }); });
    tb::SetApplicationHintSetter([this](const std::string& hint) { showHint(QString::fromStdString(hint)); });
    // What a menu loop may end asking for: F1 opens the manual at the menu's section,
    // Alt+Space the window's menu.
    tb::TLoopServices loopServices;
    loopServices.help = [this](int context) { Guard([&] { ShowHelp(services_, application(), context); }); };
    loopServices.systemMenu = [this](void* window, int) {
        Guard([&] { tb::ShowSystemMenu(window ? static_cast<QWidget*>(window) : this); });
    };
    tb::SetLoopServices(std::move(loopServices));
    tb::InstallQtClickPoster();
    auto recentClick = [this](bool folders) {
        return [this, folders](tb::TTBMRUList*, const std::string& path) {
            Guard([&] {
                if (!Idle()) return;
                if (folders) MRUFoldersClick(path);
                else MRUFilesClick(path);
            });
        };
    };
    recent_.Folders.List().OnClick = recentClick(true);
    recent_.Files.List().OnClick = recentClick(false);
    placeBars();
}

void TKAVUMain::releaseBars() {
    delete popIcons;
    delete tbMain;
    delete tbMenu;
    if (gBarsWindow != this) return;
    gBarsWindow = nullptr;
    tb::SetActionUpdater(nullptr);
    tb::SetApplicationHintSetter(nullptr);
    tb::SetLoopServices({});
}

void TKAVUMain::placeBars() {
    // The bars show the command trees by link: the trees stay the window's.
    tbMenu = new tb::TTBToolbar;
    tbMenu->setObjectName("tbMenu");
    tbMenu->setWindowTitle("Standard Menu");
    tbMenu->SetMenuBar(true);
    tbMenu->SetLinkSubitems(&bars_->MenuItems());
    tbMenu->SetCurrentDock(DockTop);
    tbMain = new tb::TTBToolbar;
    tbMain->setObjectName("tbMain");
    tbMain->setWindowTitle("Standard Toolbar");
    tbMain->SetShowHint(true);
    tbMain->SetLinkSubitems(&bars_->MainItems());
    tbMain->SetDockRow(1);
    tbMain->SetCurrentDock(DockTop);
    // Keys the other windows leave reach this window's bars.
    tb::KeyMenuRouter().SetMainForm(this);
}

void TKAVUMain::createPopup() {
    popIcons = new tb::TTBPopupMenu(this);
    popIcons->setObjectName("popIcons");
    bars_->FillPopup(popIcons->Items());
    popIcons->OnPopup = [this](tb::TTBPopupMenu*) { Guard([this] { alMainUpdate(); }); };
    auto showPopup = [this](QWidget* source, const QPoint& at) {
        const QPoint global = source->mapToGlobal(at);
        Guard([&] { popIcons->Popup(global.x(), global.y()); });
    };
    auto* menuKey = new TContextMenuKey(this);
    for (QWidget* source : {static_cast<QWidget*>(lvIcons->IconView()), static_cast<QWidget*>(lvIcons->ReportView()),
                            static_cast<QWidget*>(lbIconPreview)}) {
        connect(source, &QWidget::customContextMenuRequested, this, [source, showPopup](const QPoint& at) {
            showPopup(source, at);
        });
        source->installEventFilter(menuKey);
    }
}

}  // namespace gs
