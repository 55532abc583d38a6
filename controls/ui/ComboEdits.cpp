#include "controls/ui/ComboEdits.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QUrl>

#include <filesystem>
#include <cstdio>

#include "controls/core/ComboEditRules.h"
#include "controls/ui/FileDialogs.h"

namespace gs {

namespace {

constexpr int kDefaultButtonWidth = 21;

// "text|patterns|text|patterns" as the Qt dialog reads it.
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ').replace("*.*", "*");
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

class QtComboEditDialogs final : public IComboEditDialogs {
public:
    std::optional<QString> ChooseFile(QWidget* owner, const TFileDialogRequest& r) override {
        TSafeFileDialog dialog(owner, r.Title, r.InitialDir, qtFilter(r.Filter));
        const bool save = r.Kind == TFileDialogKind::dkSave || r.Kind == TFileDialogKind::dkSavePicture;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setDefaultSuffix(r.DefaultExt);
        if (!r.FileName.isEmpty()) dialog.selectFile(r.FileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().front();
    }
    std::optional<QString> ChooseFolder(QWidget* owner, const QString& text, const QString& start) override {
        std::optional<QString> dir = gs::ChooseFolder(owner, text, start);
        if (!dir || dir->isEmpty()) return std::nullopt;
        return dir;
    }
};

bool fileExists(const std::string& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}
bool dirExists(const std::string& p) {
    std::error_code ec;
    return std::filesystem::is_directory(p, ec);
}

// The ellipsis glyph of the browse button, drawn for its width.
QIcon ellipsisGlyph(int buttonWidth) {
    const int width = std::max(1, buttonWidth - 6);
    QPixmap pm(width, 4);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (int x : EllipsisDotsX(buttonWidth)) p.fillRect(x, 1, 2, 2, Qt::black);
    return QIcon(pm);
}

}  // namespace

IComboEditDialogs& DesktopComboEditDialogs() {
    static QtComboEditDialogs dialogs;
    return dialogs;
}

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), button_(new QToolButton(this)), dialogs_(&DesktopComboEditDialogs()) {
    button_->setObjectName("btnBrowse");
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->setFixedWidth(kDefaultButtonWidth);
    button_->setIcon(ellipsisGlyph(kDefaultButtonWidth));
    connect(button_, &QToolButton::clicked, this, &TCustomComboEdit::ButtonClicked);
    place();
}

int TCustomComboEdit::ButtonWidth() const { return button_->isVisible() || !isVisible() ? button_->width() : 0; }

void TCustomComboEdit::SetButtonWidth(int width) {
    button_->setFixedWidth(std::max(width, 0));
    button_->setVisible(width > 1);
    button_->setIcon(ellipsisGlyph(width));
    place();
}

void TCustomComboEdit::SetReadOnlyEdit(bool on) {
    readOnly_ = on;
    updateReadOnly();
}

void TCustomComboEdit::SetDirectInput(bool on) {
    directInput_ = on;
    updateReadOnly();
}

void TCustomComboEdit::updateReadOnly() { setReadOnly(readOnly_ || !directInput_); }

void TCustomComboEdit::ButtonClicked() {
    if (readOnly_ && !AlwaysEnable) return;
    emit OnButtonClick();
    RunDialog();
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier) {
        if (button_->width() > 0 && button_->isVisibleTo(this)) ButtonClicked();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    place();
}

void TCustomComboEdit::place() {
    const int w = button_->isVisibleTo(this) ? button_->width() : 0;
    button_->setGeometry(width() - w - 2, 2, w, std::max(0, height() - 4));
    setTextMargins(0, 0, w + 2, 0);
}

void TCustomComboEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    else QLineEdit::dragEnterEvent(event);
}

void TCustomComboEdit::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !acceptDrops()) return QLineEdit::dropEvent(event);
    event->acceptProposedAction();
    DropUrls(urls);
}

void TCustomComboEdit::DropUrls(const QList<QUrl>& urls) {
    ClearFileList();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        AcceptDroppedName(url.toLocalFile());
        if (!AllowsManyNames()) break;
    }
    emit OnDropFiles();
}

TFilenameEdit::TFilenameEdit(QWidget* parent) : TCustomComboEdit(parent) { setObjectName("TFilenameEdit"); }

QString TFilenameEdit::FileName() const {
    return QString::fromStdString(FileNameOfText(text().toStdString(), fileExists));
}

void TFilenameEdit::SetFileName(const QString& name) {
    std::string value = name.toStdString();
    if (!value.empty()) {
        value = FileNameOfText(value, fileExists);
        if (!IsValidEditFileName(value)) {
            char message[4096];
            std::snprintf(message, sizeof message, kMsgInvalidFileName, name.toStdString().c_str());
            throw EComboEditError(message);
        }
    }
    setText(QString::fromStdString(QuotedFileName(value)));
    ClearFileList();
}

void TFilenameEdit::RunDialog() {
    TFileDialogRequest request = Dialog;
    const QString name = FileName();
    if (!name.isEmpty()) {
        const QFileInfo info(name);
        if (info.absoluteDir().exists()) request.InitialDir = info.absolutePath();
        request.FileName = info.fileName().isEmpty() ? QString() : name;
    }
    const std::optional<QString> chosen = Dialogs().ChooseFile(this, request);
    setFocus();
    if (!chosen) return;
    setText(QString::fromStdString(QuotedFileName(chosen->toStdString())));
    Dialog.InitialDir = QFileInfo(*chosen).absolutePath();
}

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TCustomComboEdit(parent) { setObjectName("TDirectoryEdit"); }

void TDirectoryEdit::RunDialog() {
    const std::string start = FolderDialogStart(text().toStdString(), InitialDir.toStdString(), dirExists);
    const std::optional<QString> chosen = Dialogs().ChooseFolder(this, DialogText, QString::fromStdString(start));
    setFocus();
    if (!chosen) return;
    del();  // the selected text gives way
    setText(QString::fromStdString(FolderEditText(text().toStdString(), chosen->toStdString(), MultipleDirs)));
    if (!chosen->isEmpty() && dirExists(chosen->toStdString())) InitialDir = *chosen;
}

void TDirectoryEdit::AcceptDroppedName(const QString& name) {
    const std::string folder = FolderOfDroppedName(name.toStdString(), fileExists);
    setText(QString::fromStdString(FolderEditText(text().toStdString(), folder, MultipleDirs)));
}

}  // namespace gs
