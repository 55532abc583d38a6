#include "framework/ui/FilePropsForm.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "codecs/ui/QtRaster.h"
#include "framework/core/FileIcons.h"
#include "framework/ui/QtBridge.h"
#include "iconlib/IconChoice.h"

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

// The file's icon (GetFileIcon) at the window's size; none when it has none or it cannot be
// read ("File is not an executable." leaves the place empty).
QImage fileIcon(const std::string& fileName) {
    try {
        const std::unique_ptr<TQBIcon> icon = GetFileIcon(fileName);
        const std::unique_ptr<TQBHiResIcon> shown = icon ? GetIcon32(*icon) : nullptr;
        return shown && !shown->Empty() ? ToQImage(*shown->Handle()) : QImage();
    } catch (const std::exception&) {
        return {};
    }
}

void line(QWidget* page, int y) {
    auto* rule = new QFrame(page);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(12, y, 323, 2);
}

}  // namespace

TFilePropsForm::TFilePropsForm(const TFileProperties& values, IFormDesktop& desktop, QWidget* parent)
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

void ShowFileProperties(const std::string& fileName, IFormDesktop& desktop, QWidget* parent) {
    TFilePropsForm form(GetFileProperties(fileName), desktop, parent);
    form.ShowFileIcon(fileIcon(fileName));
    form.CenterOnOwner();
    form.exec();
}

}  // namespace gs
