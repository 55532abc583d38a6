#include "framework/ui/FilePropsForm.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTabWidget>

#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

constexpr int kCaptionWidth = 90;
constexpr int kIconSize = 32;
constexpr int kFieldLeft = 110;
constexpr int kFieldWidth = 225;

QLineEdit* field(QWidget* page, const char* name, const char* caption, int y, const std::string& value,
                 int captionLeft = 12) {
    auto* edit = new QLineEdit(qs(value), page);
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

// The icon the desktop's theme gives the file's type; the file icon provider's (a generic
// file icon) when the theme has none.
QIcon typeIcon(const QString& fileName) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(QFileInfo(fileName));
    return icon;
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
    imgIcon->setGeometry(12, 10, kIconSize, kIconSize);
    imgIcon->setAlignment(Qt::AlignCenter);
    // The desktop's icon for the file's type; none when it has none to give.
    const QIcon icon = typeIcon(qs(fileName));
    if (!icon.isNull()) imgIcon->setPixmap(icon.pixmap(kIconSize, kIconSize));

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

void TFilePropsForm::ShowFileIcon(const QImage& icon) {
    if (icon.isNull()) return;
    // An icon larger than the place is shown whole, scaled down; a smaller one at its size.
    const QImage shown = icon.width() > kIconSize || icon.height() > kIconSize
                             ? icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : icon;
    imgIcon->setPixmap(QPixmap::fromImage(shown));
}

std::string FileTypeDescription(const std::string& fileName) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(qs(fileName));
    if (!type.isValid() || type.isDefault()) return {};
    return type.comment().toStdString();
}

void ShowFileProperties(const std::string& fileName, IFormDesktop& desktop, QWidget* parent,
                        const QImage& icon) {
    TFileProperties values = GetFileProperties(fileName);
    // The type's name is the database's; a file it knows nothing of keeps "EXT File".
    if (std::string type = FileTypeDescription(fileName); !type.empty()) values.FileType = std::move(type);
    TFilePropsForm form(fileName, values, desktop, parent);
    form.ShowFileIcon(icon);
    form.CenterOnOwner();
    form.exec();
}

}  // namespace gs
