#include "framework/ui/FilePropsForm.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace gs {

namespace {

constexpr int kCaptionWidth = 90;
constexpr int kFieldLeft = 110;
constexpr int kFieldWidth = 225;

QLineEdit* field(QWidget* page, const char* name, const char* caption, int y, const std::string& value,
                 int captionLeft = 12) {
    auto* edit = new QLineEdit(QString::fromStdString(value), page);
    edit->setObjectName(name);
    edit->setGeometry(kFieldLeft, y, kFieldWidth, 20);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setCursorPosition(0);
    auto* label = new QLabel(caption, page);
    label->setGeometry(captionLeft, y, kFieldLeft - captionLeft, 20);
    label->setBuddy(edit);
    return edit;
}

void line(QWidget* page, int y) {
    auto* rule = new QFrame(page);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(12, y, 323, 2);
}

}  // namespace

TFilePropsForm::TFilePropsForm(const std::string& fileName, const TFileProperties& values, IFormDesktop& desktop,
                               QWidget* parent)
    : TSmallForm(parent, desktop, "FilePropsForm", 377, 407) {
    setWindowTitle(kFilePropsCaption);
    pcMain = new QTabWidget(this);
    pcMain->setObjectName("pcMain");
    pcMain->setGeometry(8, 8, 361, 355);
    auto* page = new QWidget;
    page->setObjectName("tsGeneral");
    pcMain->addTab(page, "General");

    imgIcon = new QLabel(page);
    imgIcon->setObjectName("imgIcon");
    imgIcon->setGeometry(12, 10, 32, 32);
    // The desktop's icon for the file; none when it has none to give.
    const QIcon icon = QFileIconProvider().icon(QFileInfo(QString::fromStdString(fileName)));
    if (!icon.isNull()) imgIcon->setPixmap(icon.pixmap(32, 32));

    // The icon stands at the start of the name row, its caption after it.
    txtFileName = field(page, "txtFileName", "&File:", 16, values.FileName, 56);
    line(page, 50);
    txtLocation = field(page, "txtLocation", "&Location:", 60, values.Location);
    txtFileType = field(page, "txtFileType", "&Type of file:", 84, values.FileType);
    txtSize = field(page, "txtSize", "&Size:", 108, values.Size);
    line(page, 138);
    txtCreated = field(page, "txtCreated", "C&reated:", 148, values.Created);
    txtModified = field(page, "txtModified", "&Modified:", 172, values.Modified);
    txtAccessed = field(page, "txtAccessed", "&Accessed:", 196, values.Accessed);
    line(page, 226);

    auto* attributesCaption = new QLabel("Attributes:", page);
    attributesCaption->setGeometry(12, 236, kCaptionWidth, 20);
    clbAttributes = new QListWidget(page);
    clbAttributes->setObjectName("clbAttributes");
    clbAttributes->setGeometry(kFieldLeft, 236, kFieldWidth, 84);
    for (std::size_t i = 0; i < FileAttributeItems().size(); ++i) {
        auto* item = new QListWidgetItem(FileAttributeItems()[i].Caption, clbAttributes);
        item->setFlags(Qt::ItemIsUserCheckable);
        item->setCheckState(values.Attributes[i] ? Qt::Checked : Qt::Unchecked);
    }
    clbAttributes->setEnabled(false);

    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(277, 373, 92, 26);
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowFileProperties(const std::string& fileName, RegistryStore& store, IFormDesktop& desktop, QWidget* parent) {
    TFilePropsForm form(fileName, GetFileProperties(store, fileName), desktop, parent);
    form.CenterOnOwner();
    form.exec();
}

}  // namespace gs
