#include "controls/ui/ComboEdits.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QStyle>
#include <QUrl>

#include <filesystem>
#include <cstdio>

#include "controls/core/ComboEditRules.h"
#include "controls/ui/FileDialogs.h"

namespace gs {

namespace {

bool isPicture(TFileDialogKind kind) {
    return kind == TFileDialogKind::dkOpenPicture || kind == TFileDialogKind::dkSavePicture;
}

class TQtComboEditDialogs final : public IComboEditDialogs {
public:
    std::optional<QStringList> ChooseFiles(QWidget* owner, const TFileDialogRequest& r) override {
        TSafeFileDialog dialog(owner, r.Title, r.InitialDir, QtDialogFilter(r.Filter));
        const bool save = r.Kind == TFileDialogKind::dkSave || r.Kind == TFileDialogKind::dkSavePicture;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.MultiSelect() ? QFileDialog::ExistingFiles
                           : r.MustExist() ? QFileDialog::ExistingFile
                                           : QFileDialog::AnyFile);
        // A name to open is taken as typed; one to save gets the default extension.
        if (save) dialog.setDefaultSuffix(r.DefaultExt);
        dialog.setHistory(r.HistoryList);
        const QStringList filters = dialog.nameFilters();
        if (r.FilterIndex >= 1 && r.FilterIndex <= filters.size()) dialog.selectNameFilter(filters[r.FilterIndex - 1]);
        if (!r.FileName.isEmpty()) dialog.selectFile(r.FileName);
        if (isPicture(r.Kind)) AddPicturePreview(dialog);
        AddDialogHelpKey(dialog, r.HelpContext);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles();
    }
    std::optional<QString> ChooseFolder(QWidget* owner, const TFolderDialogRequest& r) override {
        // The browse-for-folder kind always lets the user make a folder.
        const bool create = r.Kind == TDirDialogKind::dkWin32 || (r.Options & sdAllowCreate);
        std::optional<QString> dir = gs::ChooseFolder(owner, r.Text, r.Start, [&r, create](QFileDialog& dialog) {
            dialog.setOption(QFileDialog::ReadOnly, !create);
            AddDialogHelpKey(dialog, r.HelpContext);
        });
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
// A name that stands for something on disk is taken whole, blanks and all, folders too (a
// folder dropped on a file-name edit would lose what follows its first blank otherwise).
bool pathExists(const std::string& p) { return fileExists(p) || dirExists(p); }

// The ellipsis glyph of the browse button, drawn for its width.
QImage ellipsisGlyph(int buttonWidth) {
    QImage image(std::max(1, buttonWidth - 6), 4, QImage::Format_ARGB32);
    image.fill(QColor(0xFF, 0xFF, 0xFF));
    for (int x : EllipsisDotsX(buttonWidth))
        for (int dy = 1; dy < 3; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                if (x + dx >= 0 && x + dx < image.width()) image.setPixel(x + dx, dy, qRgb(0, 0, 0));
    image.setPixel(0, image.height() - 1, qRgb(0xFF, 0xFF, 0xFF));  // the strip's transparent colour
    return image;
}

// A combo box's arrow: a downward triangle on fuchsia.
QImage dropDownGlyph() {
    QImage image(7, 4, QImage::Format_ARGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    for (int row = 0; row < 4; ++row)
        for (int x = row; x < 7 - row; ++x) image.setPixel(x, row, qRgb(0, 0, 0));
    return image;
}

// The file and folder edits' own picture: an open folder, 15 x 13, on fuchsia.
QImage folderGlyph() {
    QImage image(15, 13, QImage::Format_ARGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter p(&image);
    p.setPen(QColor(0x80, 0x80, 0x00));
    p.setBrush(QColor(0xFF, 0xFF, 0x00));
    p.drawRect(0, 3, 12, 8);
    p.drawLine(1, 2, 4, 2);
    p.setBrush(QColor(0xC0, 0xC0, 0x00));
    p.drawPolygon(QPolygon({QPoint(2, 6), QPoint(14, 6), QPoint(12, 11), QPoint(0, 11)}));
    return image;
}

// A bold text gets a caret as strong as its strokes. A line edit asks its style how wide
// each time it paints, naming itself only through the option.
class TCaretStyle final : public QProxyStyle {
public:
    explicit TCaretStyle(QObject* owner) { setParent(owner); }
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TextCursorWidth) {
            if (!widget && option) widget = qobject_cast<const QWidget*>(option->styleObject);
            if (widget && widget->font().bold()) return 2;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

int scrollBarWidth(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

}  // namespace

IComboEditDialogs& DesktopComboEditDialogs() {
    static TQtComboEditDialogs dialogs;
    return dialogs;
}

void SetComboEditHelp(std::function<void(int context)> help) { SetDialogHelp(std::move(help)); }

void TEditButton::paintEvent(QPaintEvent* event) {
    TRxSpeedButton::paintEvent(event);
    if (Pressed()) return;
    // The light edge that parts the button from the text.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Button));
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(1, 1, 1, height() - 2);
}

void TEditButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (QWidget* edit = parentWidget(); edit && edit->focusPolicy() & Qt::TabFocus && !edit->hasFocus())
            edit->setFocus(Qt::MouseFocusReason);
    TRxSpeedButton::mousePressEvent(event);
}

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), button_(new TEditButton(this)), dialogs_(&DesktopComboEditDialogs()) {
    button_->setObjectName("btnBrowse");
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->Layout = TButtonLayout::blGlyphLeft;
    button_->setFixedWidth(kComboButtonWidth);
    connect(button_, &TRxSpeedButton::clicked, this, &TCustomComboEdit::ButtonClicked);
    setMinimumHeight(MinimumEditHeight());
    resize(width(), 21);
    place();
    setStyle(new TCaretStyle(this));
}



void TCustomComboEdit::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    const Qt::Alignment horizontal = alignment == TAlignment::taRightJustify ? Qt::AlignRight
                                     : alignment == TAlignment::taCenter     ? Qt::AlignHCenter
                                                                             : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignVCenter);
}

int TCustomComboEdit::MinimumEditHeight() const {
    constexpr int kThinBorder = 1;
    const int text = std::min(QFontMetrics(QApplication::font()).height(), fontMetrics().height());
    return text + 4 * kThinBorder + 1;
}

TCustomComboEdit::~TCustomComboEdit() { disconnect(button_, nullptr, this, nullptr); }

int TCustomComboEdit::ButtonWidth() const { return button_->isHidden() ? 0 : button_->width(); }

void TCustomComboEdit::SetButtonWidth(int width) {
    width = std::max(width, 0);
    if (width == ButtonWidth()) return;
    if (isVisible() && width >= this->width()) return;  // the text keeps some room
    button_->setFixedWidth(width);
    button_->setVisible(width > 1);
    RebuildGlyph();
    place();
}

int TCustomComboEdit::DefaultButtonWidth() const {
    const QImage glyph = DefaultGlyph();
    return gs::DefaultButtonWidth(glyphKind_, glyph.width(), DefaultGlyphCount(), scrollBarWidth(this));
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind) {
    if (kind == glyphKind_) return;
    glyphKind_ = kind;
    const QImage glyph = kind == TGlyphKind::gkDefault ? DefaultGlyph() : QImage();
    const int width =
        ButtonWidthForKind(kind, button_->width(), glyph.width(), DefaultGlyphCount(), scrollBarWidth(this));
    if (width != button_->width()) {
        button_->setFixedWidth(width);
        button_->setVisible(width > 1);
    }
    RebuildGlyph();
    place();
}

void TCustomComboEdit::SetGlyph(const QImage& strip) {
    customGlyph_ = strip;
    customCount_ = GlyphCountOfStrip(strip.width(), strip.height(), customCount_);
    glyphKind_ = TGlyphKind::gkCustom;
    RebuildGlyph();
}

void TCustomComboEdit::RebuildGlyph() {
    switch (glyphKind_) {
        case TGlyphKind::gkCustom: button_->SetGlyph(customGlyph_); break;
        case TGlyphKind::gkDefault: button_->SetGlyph(DefaultGlyph()); break;
        case TGlyphKind::gkDropDown: button_->SetGlyph(dropDownGlyph()); break;
        case TGlyphKind::gkEllipsis: button_->SetGlyph(ellipsisGlyph(button_->width())); break;
    }
    button_->SetNumGlyphs(GlyphCountForKind(glyphKind_, customCount_, DefaultGlyphCount()));
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
    if (!clickKey_.isEmpty() && QKeySequence(event->keyCombination()) == clickKey_) {
        if (ButtonWidth() > 0) ButtonClicked();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomComboEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) button_->setEnabled(isEnabled());
    if (event->type() == QEvent::FontChange) setMinimumHeight(MinimumEditHeight());
    QLineEdit::changeEvent(event);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    place();
}

void TCustomComboEdit::place() {
    const int w = ButtonWidth();
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

TFileDirEdit::TFileDirEdit(QWidget* parent) : TCustomComboEdit(parent) { SetGlyphKind(TGlyphKind::gkDefault); }

QImage TFileDirEdit::DefaultGlyph() const {
    static const QImage glyph = folderGlyph();
    return glyph;
}

void TFileDirEdit::RunBetweenHooks(QString name, const std::function<std::optional<QString>(QString&)>& dialog,
                                   const std::function<void(const QString&)>& apply) {
    bool action = true;
    if (OnBeforeDialog) OnBeforeDialog(name, action);
    if (action) {
        const std::optional<QString> chosen = dialog(name);
        action = chosen.has_value();
        if (chosen) name = *chosen;
    }
    if (focusPolicy() != Qt::NoFocus && isEnabled()) setFocus();
    if (OnAfterDialog) OnAfterDialog(name, action);
    if (action) apply(name);
}

TFilenameEdit::TFilenameEdit(QWidget* parent) : TFileDirEdit(parent) { setObjectName("TFilenameEdit"); }

QString TFilenameEdit::FileName() const {
    return QString::fromStdString(FileNameOfText(text().toStdString(), pathExists));
}

void TFilenameEdit::SetFileName(const QString& name) {
    std::string value = name.toStdString();
    if (!value.empty()) {
        value = FileNameOfText(value, pathExists);
        if (!IsValidEditFileName(value)) {
            char message[4096];
            std::snprintf(message, sizeof message, kMsgInvalidFileName, name.toStdString().c_str());
            throw EComboEditError(message);
        }
    }
    setText(QString::fromStdString(QuotedFileName(value)));
    ClearFileList();
}

void TFilenameEdit::ShowFileName(const QString& name) {
    try {
        SetFileName(name);
    } catch (const EComboEditError&) {
        setText(name);
        ClearFileList();
    }
}

void TFilenameEdit::SetDialogKind(TFileDialogKind kind) {
    if (kind == Dialog.Kind) return;
    TFileDialogRequest rebuilt;
    rebuilt.Kind = kind;
    rebuilt.DefaultExt = Dialog.DefaultExt;
    rebuilt.FileName = Dialog.FileName;
    rebuilt.Filter = Dialog.Filter;
    rebuilt.FilterIndex = Dialog.FilterIndex;
    rebuilt.InitialDir = Dialog.InitialDir;
    rebuilt.HistoryList = Dialog.HistoryList;
    rebuilt.Files = Dialog.Files;
    rebuilt.Options = Dialog.Options;
    rebuilt.FileMustExist = Dialog.FileMustExist;
    rebuilt.Title = Dialog.Title;
    Dialog = std::move(rebuilt);
}

void TFilenameEdit::SetDialogOptions(int options) {
    if (options == Dialog.Options) return;
    Dialog.Options = options;
    if (!Dialog.MultiSelect()) ClearFileList();
}

void TFilenameEdit::AcceptDroppedName(const QString& name) {
    if (!Dialog.MultiSelect()) return SetFileName(name);
    if (Dialog.Files.isEmpty()) SetFileName(name);  // clears the list, so before the first is added
    Dialog.Files << name;
}

void TFilenameEdit::RunDialog() {
    RunBetweenHooks(
        FileName(),
        [this](QString& name) {
            TFileDialogRequest request = Dialog;
            request.HelpContext = HelpContext;
            if (!name.isEmpty() && IsValidEditFileName(name.toStdString())) {
                const QFileInfo info(name);
                if (dirExists(info.absolutePath().toStdString())) request.InitialDir = info.absolutePath();
                if (info.fileName().isEmpty()) name.clear();
                request.FileName = name;
            }
            std::optional<QStringList> chosen = Dialogs().ChooseFiles(this, request);
            if (!chosen || chosen->isEmpty()) return std::optional<QString>();
            Dialog.Files = request.MultiSelect() ? *chosen : QStringList();
            return std::optional<QString>(chosen->front());
        },
        [this](const QString& name) {
            const QStringList files = Dialog.Files;
            setText(QString::fromStdString(QuotedFileName(name.toStdString())));
            Dialog.Files = files;
            Dialog.InitialDir = QFileInfo(name).absolutePath();
        });
}

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TFileDirEdit(parent) { setObjectName("TDirectoryEdit"); }

void TDirectoryEdit::RunDialog() {
    RunBetweenHooks(
        text(),
        [this](QString& name) {
            TFolderDialogRequest request;
            request.Kind = DialogKind;
            request.Text = DialogText;
            request.Start =
                QString::fromStdString(FolderDialogStart(name.toStdString(), InitialDir.toStdString(), dirExists));
            request.Options = DialogOptions;
            request.HelpContext = HelpContext;
            return Dialogs().ChooseFolder(this, request);
        },
        [this](const QString& name) {
            del();  // the selected text gives way
            setText(QString::fromStdString(FolderEditText(text().toStdString(), name.toStdString(), MultipleDirs)));
            if (!name.isEmpty() && dirExists(name.toStdString())) InitialDir = name;
        });
}

void TDirectoryEdit::AcceptDroppedName(const QString& name) {
    const std::string folder = FolderOfDroppedName(name.toStdString(), fileExists);
    setText(QString::fromStdString(FolderEditText(text().toStdString(), folder, MultipleDirs)));
}

}  // namespace gs
