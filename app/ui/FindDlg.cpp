#include "app/ui/FindDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "controls/ui/FormStorage.h"
#include "framework/core/Application.h"

namespace gs {

namespace {

const QSize kClientSize(452, 154);

template <class W>
W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(name);
    w->setGeometry(x, y, width, height);
    return w;
}

// The history keeps its items sorted without regard to case.
void insertSorted(QComboBox* box, const QString& text) {
    int at = 0;
    while (at < box->count() && box->itemText(at).compare(text, Qt::CaseInsensitive) < 0) ++at;
    box->insertItem(at, text);
}

}  // namespace

TFindDlg::TFindDlg(QWidget* parent, TRegistryStore& store, TDialogHooks hooks, bool highColour)
    : TListDialog(parent, std::move(hooks), kFindHelpContext) {
    setObjectName("FindDlg");
    setWindowTitle("Find...");
    setFixedSize(kClientSize);
    auto* lblText = place(new QLabel("&Text to find:", this), "lblText", 8, 12, 80, 16);
    cbText = place(new QComboBox(this), "cbText", 92, 8, 264, 22);
    cbText->setEditable(true);
    cbText->setInsertPolicy(QComboBox::NoInsert);
    lblText->setBuddy(cbText);
    auto* lookIn = place(new QGroupBox(" Look in ", this), "grpLookIn", 8, 40, 220, 106);
    radIconName = place(new QRadioButton("&Icon name", lookIn), "radIconName", 12, 22, 200, 20);
    radFileName = place(new QRadioButton("Original &file name", lookIn), "radFileName", 12, 48, 200, 20);
    radBoth = place(new QRadioButton("&Both", lookIn), "radBoth", 12, 74, 200, 20);
    radIconName->setChecked(true);
    auto* options = place(new QGroupBox(" Options ", this), "grpOptions", 236, 40, 120, 106);
    chkMatchCase = place(new QCheckBox("&Match case", options), "chkMatchCase", 12, 22, 100, 20);
    cmdFind = place(new QPushButton("&Find", this), "cmdFind", 364, 8, 80, 25);
    cmdCancel = place(new QPushButton("&Cancel", this), "cmdCancel", 364, 38, 80, 25);
    cmdFind->setDefault(true);
    imgPicture = place(new QLabel(this), "imgPicture", 388, 108, kDialogPictureSize, kDialogPictureSize);
    imgPicture->setPixmap(DialogPicture(TDialogPicture::Find, highColour));
    connect(cmdFind, &QPushButton::clicked, this, [this] { Guard([this] { actFindExecute(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbText, &QComboBox::editTextChanged, this, [this](const QString& text) { cmdFind->setEnabled(!text.isEmpty()); });
    cmdFind->setEnabled(false);

    const TQBApplication& app = application();
    Storage = new TFormStorage(this);
    Storage->setObjectName("Storage");
    Storage->SetRegistryStore(store);
    Storage->UseRegistry = true;
    Storage->RegistryRoot = app.RegRoot;
    Storage->IniFileName = app.RegAppKey;
    Storage->IniSection = kFindStorageSection;
    Storage->Options = 0;
    Storage->StoredProps = {"cbText.Items", "chkMatchCase.Checked", "radBoth.Checked", "radFileName.Checked",
                            "radIconName.Checked"};
    Storage->OnError = Hooks().OnError;
    Storage->Attach();
}

TFindDlg::~TFindDlg() { Storage->FormDestroy(); }

void TFindDlg::actFindExecute() {
    const QString text = cbText->currentText();
    if (text.isEmpty()) return;
    if (cbText->findText(text, Qt::MatchFixedString) < 0) insertSorted(cbText, text);
    cbText->setEditText(text);
    accept();
}

void TFindDlg::FillFindInfo(TFindInfo& info) const {
    info.Where = radIconName->isChecked() ? 0 : radFileName->isChecked() ? 1 : 2;
    info.Text = cbText->currentText().toStdString();
    info.MatchCase = chkMatchCase->isChecked();
    info.LastIndex = -1;
}

bool ShowFindDlg(QWidget* owner, TAppContext& context, const TDialogHooks& hooks) {
    TFindDlg dialog(owner, context.Store, hooks);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.FillFindInfo(context.FindInfo);
    return true;
}

}  // namespace gs
