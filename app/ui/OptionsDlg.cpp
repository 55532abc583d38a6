#include "app/ui/OptionsDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/ShellVerb.h"
#include "app/ui/ExceptionGuard.h"
#include "controls/ui/ComboEdits.h"
#include "controls/ui/FontComboBox.h"
#include "controls/ui/RxSpinEdit.h"
#include "app/ui/ListColours.h"
#include "framework/ui/DialogFrame.h"
#include "framework/ui/QtBridge.h"
#include "export/ImageFormats.h"
#include "framework/core/Application.h"

namespace gs {

namespace {

constexpr int kClientWidth = 401;
constexpr int kClientHeight = 345;
constexpr int kFilterEditMax = 4;
constexpr int kDialogPointSize = 8;
constexpr int kFilterListHeight = 84;

// Colours offered for the list, by name; the values are stored as 0x00BBGGRR.
struct TNamedColour {
    const char* name;
    int bgr;
};
constexpr TNamedColour kColours[] = {
    {"Black", 0x000000},       {"Maroon", 0x000080},      {"Green", 0x008000},      {"Olive", 0x008080},
    {"Navy", 0x800000},        {"Purple", 0x800080},      {"Teal", 0x808000},       {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},      {"Red", 0x0000FF},         {"Lime", 0x00FF00},       {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},        {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},       {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},    {"Cream", 0xF0FBFF},      {"Medium Gray", 0xA4A0A0},
};

QIcon swatch(int stored) {
    QPixmap pm(16, 12);
    pm.fill(ListColour(stored, QApplication::palette()));
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

QComboBox* colourBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const TNamedColour& c : kColours) box->addItem(swatch(c.bgr), c.name, c.bgr);
    // Then the desktop's colours, shown as its palette has them now.
    for (const TSystemColour& c : SystemColours()) box->addItem(swatch(c.code), c.name, c.code);
    return box;
}

void selectColour(QComboBox* box, int bgr) {
    int index = box->findData(bgr);
    if (index < 0) {  // a colour of the store that has no name here
        char name[16];
        std::snprintf(name, sizeof name, "$%06X", bgr & 0xFFFFFF);
        box->addItem(swatch(bgr), name, bgr);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

Qt::CheckState qtState(TCheckState state) {
    switch (state) {
        case TCheckState::Checked: return Qt::Checked;
        case TCheckState::PartiallyChecked: return Qt::PartiallyChecked;
        default: return Qt::Unchecked;
    }
}

// The shell box: three states to show what the verb's status reads back, two for the user.
// A plain tristate box would make the first click on an unchecked box grey, which applying
// treats as "unregister", so registering would take two clicks.
class TShellCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

    void Show(TCheckState state) {
        setTristate(state == TCheckState::PartiallyChecked);
        setCheckState(qtState(state));
    }

protected:
    void nextCheckState() override {
        const Qt::CheckState now = checkState();
        Show(ShellBoxClicked(now == Qt::Checked            ? TCheckState::Checked
                             : now == Qt::PartiallyChecked ? TCheckState::PartiallyChecked
                                                           : TCheckState::Unchecked));
    }
};

TRxSpinEdit* spin(QWidget* parent, const char* name, int min, int max, int maxLength) {
    auto* s = new TRxSpinEdit(parent);
    s->setObjectName(name);
    // The dialog's edits keep the up-down pair: the diagonal button is the control's default only.
    s->SetButtonKind(TSpinButtonKind::bkStandard);
    s->SetMinValue(min);
    s->SetMaxValue(max);
    s->setMaxLength(maxLength);
    s->setFixedWidth(56);
    return s;
}

// Leaving a limit field: an empty or unreadable text becomes the minimum, the rest clamped.
void clampOnExit(TRxSpinEdit* s) {
    QObject::connect(s, &QLineEdit::editingFinished, s, [s] {
        s->setText(QString::fromStdString(s->Spin().ClampedOnExit(s->text().toStdString())));
    });
}

bool folderExists(const std::string& p) {
    std::error_code ec;
    return std::filesystem::is_directory(p, ec);
}
bool fileExists(const std::string& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

class TDesktopShellVerb final : public IShellVerbControl {
public:
    int Status() override { return GetShellExtensionStatus(); }
    void Register() override { RegisterShellExtension(); }
    void Unregister() override { UnregisterShellExtension(); }
};

}  // namespace

IShellVerbControl& DesktopShellVerb() {
    static TDesktopShellVerb verb;
    return verb;
}

TOptionsDlg::TOptionsDlg(TAppContext& context, IShellVerbControl* shellVerb, std::function<void()> applyToWindow,
                         TAppExceptionHandler& handler, std::function<void()> showHelp, QWidget* parent)
    : QDialog(parent, kFixedDialogWindowFlags),
      context_(context),
      shellVerb_(shellVerb),
      applyToWindow_(std::move(applyToWindow)),
      handler_(handler),
      showHelp_(std::move(showHelp)) {
    setObjectName("TOptionsDlg");
    setWindowTitle("Preferences...");
    // The dialog's geometry was drawn for an 8-point face; a larger desktop font would cut
    // its captions.
    QFont small = font();
    small.setPointSize(kDialogPointSize);
    setFont(small);
    pcOptions = new QTabWidget(this);
    pcOptions->setObjectName("pcOptions");
    pcOptions->addTab(generalPage(), "  &General  ");
    pcOptions->addTab(extractPage(), "  E&xtract  ");
    pcOptions->addTab(savePage(), "  &Save  ");
    pcOptions->addTab(listPage(), "  &Icons List  ");

    cmdOK = new QPushButton("&OK", this);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdApply = new QPushButton("&Apply", this);
    cmdOK->setObjectName("cmdOK");
    cmdCancel->setObjectName("cmdCancel");
    cmdApply->setObjectName("cmdApply");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { handler_.Guard([this] { cmdOKClick(); }); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { handler_.Guard([this] { cmdApplyClick(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcOptions, 1);
    layout->addLayout(buttons);
    // Never smaller than its design, and never so small that a caption is cut.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumSize(kClientWidth, kClientHeight);
    LoadControls();
}

QWidget* TOptionsDlg::generalPage() {
    auto* page = new QWidget;
    auto* app = new QGroupBox(" Application ", page);
    chkSaveWindow = check(app, "chkSaveWindow", "Save &window properties");
    txtLimitMRU = spin(app, "txtLimitMRU", 1, 20, 2);
    chkPreventMultiple = check(app, "chkPreventMultiple", "Pre&vent multiple instances");
    auto* mruLabel = new QLabel("Limit recently &used folders and files lists to:", app);
    mruLabel->setBuddy(txtLimitMRU);
    auto* mru = new QHBoxLayout;
    mru->addWidget(mruLabel);
    mru->addWidget(txtLimitMRU);
    mru->addWidget(new QLabel("entries", app));
    mru->addStretch(1);
    auto* appLayout = new QVBoxLayout(app);
    appLayout->addWidget(chkSaveWindow);
    appLayout->addLayout(mru);
    appLayout->addWidget(chkPreventMultiple);

    auto* editing = new QGroupBox(" Icon editing application ", page);
    txtIconEditApp = new TFilenameEdit(editing);
    txtIconEditApp->setObjectName("txtIconEditApp");
    txtIconEditApp->Dialog.DefaultExt = "exe";
    txtIconEditApp->Dialog.Filter = "Applications (*.exe)|*.exe|All Files (*.*)|*.*";
    txtIconEditApp->Dialog.Title = "Select Icon Editing Application...";
    txtIconEditApp->SetDialogOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist);
    txtIconEditApp->HelpContext = kPreferencesHelpContext;  // F1 in its dialog: this dialog's help
    auto* editLabel = new QLabel("App&lication:", editing);
    editLabel->setBuddy(txtIconEditApp);
    auto* editLayout = new QHBoxLayout(editing);
    editLayout->addWidget(editLabel);
    editLayout->addWidget(txtIconEditApp, 1);

    auto* system = new QGroupBox(" System ", page);
    chkShell = new TShellCheckBox("Use S&hell extension", system);
    chkShell->setObjectName("chkShell");
    (new QVBoxLayout(system))->addWidget(chkShell);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(app);
    layout->addWidget(editing);
    layout->addWidget(system);
    layout->addStretch(1);
    return page;
}

QWidget* TOptionsDlg::extractPage() {
    auto* page = new QWidget;
    auto* filters = new QGroupBox(" File filters to scan ", page);
    lbFilters = new QListWidget(filters);
    lbFilters->setObjectName("lbFilters");
    lbFilters->setFixedHeight(kFilterListHeight);
    txtFilterEdit = new QLineEdit(filters);
    txtFilterEdit->setObjectName("txtFilterEdit");
    txtFilterEdit->setMaxLength(kFilterEditMax);
    cmdAddFilter = new QPushButton("A&dd >>", filters);
    cmdAddFilter->setObjectName("cmdAddFilter");
    cmdRemoveFilter = new QPushButton("&Remove", filters);
    cmdRemoveFilter->setObjectName("cmdRemoveFilter");
    connect(cmdAddFilter, &QPushButton::clicked, this, [this] { handler_.Guard([this] { actAddExecute(); }); });
    connect(cmdRemoveFilter, &QPushButton::clicked, this, [this] { handler_.Guard([this] { actRemoveExecute(); }); });
    connect(txtFilterEdit, &QLineEdit::textChanged, this, &TOptionsDlg::alActionsUpdate);
    txtFilterEdit->installEventFilter(this);
    connect(lbFilters, &QListWidget::currentRowChanged, this, &TOptionsDlg::alActionsUpdate);
    connect(lbFilters, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { txtFilterEdit->setText(item->text()); });
    auto* label = new QLabel("Fi&le Filters:", filters);
    label->setBuddy(lbFilters);
    auto* side = new QVBoxLayout;
    side->addWidget(txtFilterEdit);
    side->addWidget(cmdAddFilter);
    side->addWidget(cmdRemoveFilter);
    side->addStretch(1);
    auto* filterLayout = new QGridLayout(filters);
    filterLayout->addWidget(label, 0, 0);
    filterLayout->addWidget(lbFilters, 1, 0);
    filterLayout->addLayout(side, 1, 1);

    auto* scan = new QGroupBox(" Scan ", page);
    chkLimitIcons = check(scan, "chkLimitIcons", "&Limit number of icons extracted:");
    txtLimit = spin(scan, "txtLimit", 1, 5000, 4);
    chkScanSubfolders = check(scan, "chkScanSubfolders", "&Include child folders when scanning folder");
    chkMemStop = check(scan, "chkMemStop", "&Stop extraction when total memory load reaches:");
    txtMemStop = spin(scan, "txtMemStop", 1, 100, 3);
    txtMemStop->SetValue(100);
    chkIgnoreRepeated = check(scan, "chkIgnoreRepeated", "Ig&nore repeated file names");
    for (TRxSpinEdit* s : {txtLimitMRU, txtLimit, txtMemStop}) clampOnExit(s);
    connect(chkLimitIcons, &QCheckBox::toggled, this, &TOptionsDlg::updateEnabling);
    connect(chkMemStop, &QCheckBox::toggled, this, &TOptionsDlg::updateEnabling);
    auto* scanLayout = new QGridLayout(scan);
    scanLayout->addWidget(chkLimitIcons, 0, 0);
    scanLayout->addWidget(txtLimit, 0, 1);
    scanLayout->addWidget(chkScanSubfolders, 1, 0, 1, 3);
    scanLayout->addWidget(chkMemStop, 2, 0);
    scanLayout->addWidget(txtMemStop, 2, 1);
    scanLayout->addWidget(new QLabel("%", scan), 2, 2);
    scanLayout->addWidget(chkIgnoreRepeated, 3, 0, 1, 3);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(filters, 1);
    layout->addWidget(scan);
    return page;
}

QWidget* TOptionsDlg::savePage() {
    auto* page = new QWidget;
    auto* save = new QGroupBox(" Save ", page);
    chkPromptForFilename = check(save, "chkPromptForFilename", "&Prompt for file name when saving icons");
    txtDefaultFolder = new TDirectoryEdit(save);
    txtDefaultFolder->setObjectName("txtDefaultFolder");
    txtDefaultFolder->SetAcceptFiles(true);
    txtDefaultFolder->DialogKind = TDirDialogKind::dkWin32;
    txtDefaultFolder->DialogText = "Select default folder...";
    txtDefaultFolder->HelpContext = kPreferencesHelpContext;
    chkSaveAllSizes = check(save, "chkSaveAllSizes", "Save all icon si&zes by default");
    chkSetTransparency = check(save, "chkSetTransparency", "Set &transparency");
    auto* folderLabel = new QLabel("&Default folder:", save);
    folderLabel->setBuddy(txtDefaultFolder);
    auto* folder = new QHBoxLayout;
    folder->addWidget(folderLabel);
    folder->addWidget(txtDefaultFolder, 1);
    auto* saveLayout = new QVBoxLayout(save);
    saveLayout->addWidget(chkPromptForFilename);
    saveLayout->addLayout(folder);
    saveLayout->addWidget(chkSaveAllSizes);
    saveLayout->addWidget(chkSetTransparency);

    auto* images = new QGroupBox(" When saving images... ", page);
    radPromptImageFormat = new QRadioButton("Pro&mpt for image format", images);
    radPromptImageFormat->setObjectName("radPromptImageFormat");
    radUseDefaultImageFormat = new QRadioButton("&Use default image format:", images);
    radUseDefaultImageFormat->setObjectName("radUseDefaultImageFormat");
    cbDefaultImageFormat = new QComboBox(images);
    cbDefaultImageFormat->setObjectName("cbDefaultImageFormat");
    // In the order of the option's values.
    for (const TImageFormat& f : ImageFormats())
        if (f.OptionCaption) cbDefaultImageFormat->insertItem(f.OptionIndex, f.OptionCaption);
    connect(radUseDefaultImageFormat, &QRadioButton::toggled, this, &TOptionsDlg::updateEnabling);
    auto* imageLayout = new QGridLayout(images);
    imageLayout->addWidget(radPromptImageFormat, 0, 0, 1, 2);
    imageLayout->addWidget(radUseDefaultImageFormat, 1, 0);
    imageLayout->addWidget(cbDefaultImageFormat, 1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(save);
    layout->addWidget(images);
    layout->addStretch(1);
    return page;
}

QWidget* TOptionsDlg::listPage() {
    auto* page = new QWidget;
    auto* fonts = new QGroupBox(" Icons List font ", page);
    cbFontName = new TFontComboBox(fonts);
    cbFontName->setObjectName("cbFontName");
    using enum TFontListOption;
    cbFontName->SetOptions(foAnsiOnly | foTrueTypeOnly | TFontListOptions(foNoSymbolFonts));
    cbFontName->SetUseFonts(true);
    connect(cbFontName, &QComboBox::activated, this, [this] { fontChosen_ = true; });
    cbFontSize = new QComboBox(fonts);
    cbFontSize->setObjectName("cbFontSize");
    cbFontSize->addItems({"8", "10", "11", "12", "14", "16", "18"});
    auto* nameLabel = new QLabel("Fo&nt name:", fonts);
    nameLabel->setBuddy(cbFontName);
    auto* sizeLabel = new QLabel("Font si&ze:", fonts);
    sizeLabel->setBuddy(cbFontSize);
    auto* fontLayout = new QGridLayout(fonts);
    fontLayout->addWidget(nameLabel, 0, 0);
    fontLayout->addWidget(cbFontName, 0, 1);
    fontLayout->addWidget(sizeLabel, 1, 0);
    fontLayout->addWidget(cbFontSize, 1, 1);

    auto* colours = new QGroupBox(" Icons List colors ", page);
    rdColorDefaultWindows = new QRadioButton("Use &Windows defaults", colours);
    rdColorDefaultWindows->setObjectName("rdColorDefaultWindows");
    rdColorUseColors = new QRadioButton("C&ustomize colors:", colours);
    rdColorUseColors->setObjectName("rdColorUseColors");
    cbTextColor = colourBox(colours, "cbTextColor");
    cbBackColor = colourBox(colours, "cbBackColor");
    lblTextColor = new QLabel("&Text color:", colours);
    lblTextColor->setBuddy(cbTextColor);
    lblBackColor = new QLabel("&Background color:", colours);
    lblBackColor->setBuddy(cbBackColor);
    connect(rdColorUseColors, &QRadioButton::toggled, this, &TOptionsDlg::updateEnabling);
    auto* colourLayout = new QGridLayout(colours);
    colourLayout->addWidget(rdColorDefaultWindows, 0, 0, 1, 2);
    colourLayout->addWidget(rdColorUseColors, 1, 0, 1, 2);
    colourLayout->addWidget(lblTextColor, 2, 0);
    colourLayout->addWidget(cbTextColor, 2, 1);
    colourLayout->addWidget(lblBackColor, 3, 0);
    colourLayout->addWidget(cbBackColor, 3, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fonts);
    layout->addWidget(colours);
    layout->addStretch(1);
    return page;
}

void TOptionsDlg::LoadControls() {
    const TKAVUOptions& o = context_.Options;
    chkSaveWindow->setChecked(o.SaveWindow);
    txtLimitMRU->SetValue(o.MRULimit);
    chkPreventMultiple->setChecked(o.PreventMultiple);
    txtIconEditApp->ShowFileName(QString::fromStdString(o.IconEditApp));
    const TCheckState shell = shellVerb_ ? ShellBoxState(shellVerb_->Status()) : TCheckState::Unchecked;
    static_cast<TShellCheckBox*>(chkShell)->Show(shell);
    chkShell->setEnabled(shellVerb_ != nullptr);
    filters_ = o.ScanExtensions;
    SortScanExtensions(filters_);
    fillFilters(-1);
    chkLimitIcons->setChecked(o.LimitIcons);
    txtLimit->SetValue(o.LimitNumber);
    chkScanSubfolders->setChecked(o.IncludeSubfolders);
    chkMemStop->setChecked(o.MemStop);
    txtMemStop->SetValue(o.MemStopPerc);
    chkIgnoreRepeated->setChecked(o.IgnoreRepeated);
    chkPromptForFilename->setChecked(o.PromptForFileName);
    txtDefaultFolder->setText(QString::fromStdString(o.DefaultFolder));
    chkSaveAllSizes->setChecked(o.SaveAllSizes);
    chkSetTransparency->setChecked(o.SetTransparency);
    radPromptImageFormat->setChecked(o.PromptForImageFormat);
    radUseDefaultImageFormat->setChecked(!o.PromptForImageFormat);
    cbDefaultImageFormat->setCurrentIndex(std::clamp(o.DefaultImageFormat, 0, cbDefaultImageFormat->count() - 1));
    // A face that is not installed shows as the one the list is drawn in instead; the
    // stored name stays until the user picks another, so settings taken to a machine that
    // has the face find it again.
    cbFontName->SetFontName(FontFaceInUse(QString::fromStdString(o.ListFontName)));
    fontChosen_ = false;
    cbFontSize->setCurrentIndex(std::clamp(o.ListFontSize, 0, cbFontSize->count() - 1));
    rdColorDefaultWindows->setChecked(o.ListWindowsColors);
    rdColorUseColors->setChecked(!o.ListWindowsColors);
    selectColour(cbTextColor, o.ListTextColor);
    selectColour(cbBackColor, o.ListBackColor);
    updateEnabling();
    alActionsUpdate();
}

void TOptionsDlg::updateEnabling() {
    txtLimit->setEnabled(chkLimitIcons->isChecked());
    txtMemStop->setEnabled(chkMemStop->isChecked());
    cbDefaultImageFormat->setEnabled(radUseDefaultImageFormat->isChecked());
    const bool custom = rdColorUseColors->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(cbTextColor), static_cast<QWidget*>(cbBackColor),
                       static_cast<QWidget*>(lblTextColor), static_cast<QWidget*>(lblBackColor)})
        w->setEnabled(custom);
}

void TOptionsDlg::fillFilters(int select) {
    lbFilters->clear();
    for (const std::string& f : filters_) lbFilters->addItem(QString::fromStdString(f));
    lbFilters->setCurrentRow(select);
}

void TOptionsDlg::alActionsUpdate() {
    cmdAddFilter->setEnabled(!txtFilterEdit->text().isEmpty());
    cmdRemoveFilter->setEnabled(lbFilters->currentRow() >= 0);
    // While an extension is typed, Enter adds it instead of closing the dialog without it.
    const bool adding = txtFilterEdit->hasFocus() && cmdAddFilter->isEnabled();
    cmdAddFilter->setDefault(adding);
    cmdOK->setDefault(!adding);
}

bool TOptionsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFilterEdit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        alActionsUpdate();
    return QDialog::eventFilter(watched, event);
}

void TOptionsDlg::actAddExecute() {
    if (txtFilterEdit->text().isEmpty()) return;
    fillFilters(AddScanExtension(filters_, txtFilterEdit->text().toStdString()));
    txtFilterEdit->clear();
}

void TOptionsDlg::actRemoveExecute() {
    if (lbFilters->currentRow() < 0) return;
    fillFilters(RemoveScanExtension(filters_, lbFilters->currentRow()));
    txtFilterEdit->clear();
}

void TOptionsDlg::Apply() {
    CheckOptionsEntries({txtDefaultFolder->text().toStdString(), txtLimit->text().toStdString(),
                         txtIconEditApp->FileName().toStdString()},
                        folderExists, fileExists);
    TKAVUOptions& o = context_.Options;
    o.SaveWindow = chkSaveWindow->isChecked();
    o.MRULimit = int(txtLimitMRU->Value());
    o.PreventMultiple = chkPreventMultiple->isChecked();
    o.IconEditApp = txtIconEditApp->FileName().toStdString();
    o.ScanExtensions = filters_;
    o.LimitIcons = chkLimitIcons->isChecked();
    o.LimitNumber = int(txtLimit->Value());
    o.IncludeSubfolders = chkScanSubfolders->isChecked();
    o.MemStop = chkMemStop->isChecked();
    o.MemStopPerc = int(txtMemStop->Value());
    o.IgnoreRepeated = chkIgnoreRepeated->isChecked();
    o.PromptForFileName = chkPromptForFilename->isChecked();
    o.DefaultFolder = txtDefaultFolder->text().toStdString();
    o.SaveAllSizes = chkSaveAllSizes->isChecked();
    o.SetTransparency = chkSetTransparency->isChecked();
    o.PromptForImageFormat = radPromptImageFormat->isChecked();
    o.DefaultImageFormat = cbDefaultImageFormat->currentIndex();
    if (fontChosen_ && !cbFontName->FontName().isEmpty()) o.ListFontName = cbFontName->FontName().toStdString();
    o.ListFontSize = cbFontSize->currentIndex();
    o.ListWindowsColors = rdColorDefaultWindows->isChecked();
    o.ListTextColor = cbTextColor->currentData().toInt();
    o.ListBackColor = cbBackColor->currentData().toInt();
    if (shellVerb_) {
        if (chkShell->checkState() == Qt::Checked) shellVerb_->Register();
        else shellVerb_->Unregister();
    }
    if (applyToWindow_) applyToWindow_();
    const TQBApplication& app = application();
    o.Save(context_.Store, app.RegRoot, app.RegAppKey);
}

void TOptionsDlg::cmdOKClick() {
    Apply();
    accept();
}

void TOptionsDlg::cmdApplyClick() { Apply(); }

// F1 is taken as it goes down, as in the other dialogs: a press left to pass on would reach
// the main window's own F1 behind the dialog and open the manual a second time.
void TOptionsDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (showHelp_) handler_.Guard(showHelp_);
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowOptionsDlg(TAppContext& context, IShellVerbControl* shellVerb, std::function<void()> applyToWindow,
                    TAppExceptionHandler& handler, std::function<void()> showHelp, QWidget* parent) {
    TOptionsDlg dlg(context, shellVerb, std::move(applyToWindow), handler, std::move(showHelp), parent);
    dlg.pcOptions->setCurrentIndex(0);
    if (parent) dlg.move(parent->geometry().center() - dlg.rect().center());
    dlg.exec();
}

}  // namespace gs
