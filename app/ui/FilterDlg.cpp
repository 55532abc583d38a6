#include "app/ui/FilterDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "framework/core/Exceptions.h"
#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

const QSize kClientSize(434, 297);
constexpr int kFieldImages = int(TFilterField::ffIconImages);
// What the conditions box holds, by its tag.
constexpr int kNoConditions = -1;
constexpr int kTextConditions = 0;
constexpr int kImageConditions = 1;


template <class W>
W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(name);
    w->setGeometry(x, y, width, height);
    return w;
}

}  // namespace

TFilterDlg::TFilterDlg(QWidget* parent, const TFilters& filters, TDialogHooks hooks)
    : TListDialog(parent, std::move(hooks), kFilterHelpContext), working_(filters.Clone()) {
    setObjectName("FilterDlg");
    setWindowTitle("Filter Icons...");
    setFixedSize(kClientSize);
    auto* lblField = place(new QLabel("&Field:", this), "lblField", 8, 8, 130, 16);
    cbField = place(new QComboBox(this), "cbField", 8, 26, 130, 22);
    for (int f = 0; f < kFilterFieldCount; ++f) cbField->addItem(FilterFieldText(f));
    lblField->setBuddy(cbField);
    auto* lblCondition = place(new QLabel("&Condition:", this), "lblCondition", 146, 8, 130, 16);
    cbCondition = place(new QComboBox(this), "cbCondition", 146, 26, 130, 22);
    cbCondition->setProperty("tag", kNoConditions);
    lblCondition->setBuddy(cbCondition);
    lblValue = place(new QLabel("&Value:", this), "lblValue", 284, 8, 142, 16);
    txtValue = place(new QLineEdit(this), "txtValue", 284, 26, 142, 22);
    cbValue = place(new QComboBox(this), "cbValue", 284, 26, 142, 22);
    cbValue->setGeometry(txtValue->geometry());  // exactly over the edit
    cbValue->hide();
    place(new QLabel(" Find icons that match these criteria: ", this), "lblCriteria", 8, 58, 330, 16);
    lbCriteria = place(new QListWidget(this), "lbCriteria", 8, 76, 330, 213);
    cmdAdd = place(new QPushButton("&Add", this), "cmdAdd", 346, 76, 80, 25);
    cmdRemove = place(new QPushButton("&Remove", this), "cmdRemove", 346, 106, 80, 25);
    cmdOK = place(new QPushButton("&OK", this), "cmdOK", 346, 234, 80, 25);
    cmdCancel = place(new QPushButton("&Cancel", this), "cmdCancel", 346, 264, 80, 25);
    cmdOK->setDefault(true);

    connect(cbField, &QComboBox::currentIndexChanged, this, [this] { Guard([this] { cbFieldChange(); }); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { Guard([this] { actAddExecute(); }); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { Guard([this] { actRemoveExecute(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        OK = true;
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QComboBox* box : {cbCondition, cbValue})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { alActionsUpdate(); });
    connect(txtValue, &QLineEdit::textChanged, this, [this] { alActionsUpdate(); });
    connect(lbCriteria, &QListWidget::currentRowChanged, this, [this] { alActionsUpdate(); });
    connect(lbCriteria, &QListWidget::itemSelectionChanged, this, [this] { alActionsUpdate(); });
    txtValue->installEventFilter(this);
    cbValue->installEventFilter(this);

    cbField->setCurrentIndex(0);
    cbFieldChange();
    for (const auto& f : working_->Items) addLine(*f, false);
    alActionsUpdate();
}

void TFilterDlg::cbFieldChange() {
    const bool images = cbField->currentIndex() == kFieldImages;
    const int wanted = images ? kImageConditions : kTextConditions;
    if (cbCondition->property("tag").toInt() == wanted) return;
    cbCondition->clear();
    if (images) {
        for (int c = kFirstImageCondition; c < kFilterConditionCount; ++c) cbCondition->addItem(FilterConditionText(c));
        cbValue->clear();
        for (int k = 0; k < kImageKindCount; ++k) cbValue->addItem(ImageKindText(k));
        cbValue->setCurrentIndex(-1);
        txtValue->clear();
        txtValue->hide();
        cbValue->show();
        lblValue->setBuddy(cbValue);
    } else {
        for (int c = 0; c < kFirstImageCondition; ++c) cbCondition->addItem(FilterConditionText(c));
        cbValue->setCurrentIndex(-1);
        cbValue->hide();
        txtValue->show();
        lblValue->setBuddy(txtValue);
    }
    cbCondition->setCurrentIndex(-1);  // a condition is chosen, never assumed
    cbCondition->setProperty("tag", wanted);
    alActionsUpdate();
}

void TFilterDlg::actAddExecute() {
    TFilter filter;
    if (cbField->currentIndex() == kFieldImages) {
        filter.Field = kFieldImages;
        filter.Condition = std::uint8_t(cbCondition->currentIndex() + kFirstImageCondition);
        filter.Value = std::to_string(cbValue->currentIndex());
    } else {
        filter.Field = std::uint8_t(cbField->currentIndex());
        filter.Condition = std::uint8_t(cbCondition->currentIndex());
        filter.Value = txtValue->text().toStdString();
    }
    if (working_->Exists(filter)) throw EQBException(kMsgFilterExists, "", TQBSeverity::Information);
    working_->Items.Add(std::make_unique<TFilter>(filter));
    addLine(filter, true);
    alActionsUpdate();
}

void TFilterDlg::actRemoveExecute() {
    const int row = lbCriteria->currentRow();
    if (row < 0 || row >= working_->Items.Count()) return;
    working_->Items.Delete(row);
    delete lbCriteria->takeItem(row);
    alActionsUpdate();
}

void TFilterDlg::alActionsUpdate() {
    const bool images = cbField->currentIndex() == kFieldImages;
    bool add = cbField->currentIndex() >= 0 && cbCondition->currentIndex() >= 0;
    if (images) add = add && cbValue->currentIndex() >= 0;
    else add = add && (!txtValue->text().isEmpty() || cbValue->currentIndex() >= 0);
    cmdAdd->setEnabled(add);
    cmdRemove->setEnabled(lbCriteria->currentRow() >= 0 && !lbCriteria->selectedItems().isEmpty());
}

void TFilterDlg::addLine(const TFilter& filter, bool quoted) {
    const bool images = filter.Field == kFieldImages;
    std::string value = filter.Value;
    if (images && filter.Value.size() == 1) value = ImageKindText(filter.Value[0] - '0');
    if (quoted) value = "'" + value + "'";
    lbCriteria->addItem(qs(std::string(FilterFieldText(filter.Field)) + " " + FilterConditionText(filter.Condition) + " " + value));
}

void TFilterDlg::valueFocus(bool entering) {
    // While a value is typed or chosen, Enter adds it.
    cmdAdd->setDefault(entering);
    cmdOK->setDefault(!entering);
}

bool TFilterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) valueFocus(true);
    else if (event->type() == QEvent::FocusOut) valueFocus(false);
    else if (watched == txtValue && event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->text() == QStringLiteral("'"))
        return true;  // an apostrophe is not taken
    return TListDialog::eventFilter(watched, event);
}

bool ShowFilterDlg(QWidget* owner, std::unique_ptr<TFilters>& filters, const TDialogHooks& hooks) {
    const TFilters none;
    TFilterDlg dialog(owner, filters ? *filters : none, hooks);
    dialog.exec();
    if (!dialog.OK) return false;
    filters = dialog.Working().Clone();
    return true;
}

}  // namespace gs
