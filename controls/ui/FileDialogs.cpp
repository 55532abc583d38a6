#include "controls/ui/FileDialogs.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QMimeDatabase>
#include <QSettings>
#include <QShortcut>
#include <QUrl>

#include "platform/FileSystems.h"

namespace gs {

namespace {

constexpr int kPreviewSide = 128;
// Larger files are not read for a preview: a picture dialog stays quick on any folder.
constexpr qint64 kPreviewMaxBytes = 32 * 1024 * 1024;
// A picture whose pixels would need more than this is not decoded.
constexpr qint64 kPreviewMaxPixels = 64LL * 1024 * 1024;

// Where Qt's dialogs keep the folder the last one showed.
constexpr const char* kQtSettingsName = "QtProject";
constexpr const char* kLastVisitedKey = "FileDialog/lastVisited";

// The stock icons of files and folders, and type names from the file name's extension:
// the default provider asks the MIME database, which reads a file without a known
// extension to guess its type, and a read of /proc/kmsg never returns.
class TNameOnlyIconProvider final : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return icon(Drive);
        return icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::type(info);  // folders, drives, links: by kind
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }
};

TNameOnlyIconProvider& nameOnlyIcons() {
    static TNameOnlyIconProvider provider;  // dialogs only borrow it
    return provider;
}

bool isPseudo(const QString& folder) {
    return !folder.isEmpty() && OnPseudoFileSystem(std::filesystem::path(folder.toStdString()));
}

// The folder the last dialog showed, as Qt keeps it for the next one (this run's or an
// earlier run's); empty when there is none.
QString rememberedFolder() {
    const QUrl last = QSettings(QSettings::UserScope, QString::fromLatin1(kQtSettingsName))
                          .value(QString::fromLatin1(kLastVisitedKey))
                          .toUrl();
    return last.isLocalFile() ? last.toLocalFile() : QString();
}

// The start folder, after Qt's settings have forgotten a pseudo folder they remember.
QString preparedStart(const QString& wanted) {
    const QString start = DialogStartFolder(wanted);
    if (isPseudo(rememberedFolder()))
        QSettings(QSettings::UserScope, QString::fromLatin1(kQtSettingsName))
            .setValue(QString::fromLatin1(kLastVisitedKey), QUrl::fromLocalFile(start).toString());
    return start;
}

std::function<void(int)>& dialogHelp() {
    static std::function<void(int)> help;
    return help;
}

}  // namespace

QString QtDialogFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString shown = QString(parts[i + 1]).replace(';', ' ').simplified();
        QStringList matched = shown.split(' ', Qt::SkipEmptyParts);
        for (QString& pattern : matched)
            if (pattern == "*.*") pattern = "*";
        QString text = parts[i].trimmed();
        if (!text.contains('(')) text += " (" + shown + ")";
        else if (text.section('(', -1).section(')', 0, 0).replace(';', ' ').simplified() != shown)
            text = text.section('(', 0, 0).trimmed() + " (" + shown + ")";
        entries << text + " (" + matched.join(' ') + ")";
    }
    return entries.join(";;");
}

void SetDialogHelp(std::function<void(int context)> help) { dialogHelp() = std::move(help); }

void AddDialogHelpKey(QDialog& dialog, int context) {
    if (context == 0) return;
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), &dialog);
    QObject::connect(key, &QShortcut::activated, &dialog, [context] {
        if (dialogHelp()) dialogHelp()(context);
    });
}

QString DialogStartFolder(const QString& wanted) {
    // Without a folder of its own a dialog opens where the user was last, unless that is gone
    // or pseudo; the home folder only when there is no such place.
    const std::filesystem::path last =
        DialogStartFolder(std::filesystem::path(rememberedFolder().toStdString()), QDir::homePath().toStdString());
    const std::filesystem::path start = DialogStartFolder(std::filesystem::path(wanted.toStdString()), last);
    return QString::fromStdString(start.string());
}

TSafeFileDialog::TSafeFileDialog(QWidget* owner, const QString& caption, const QString& wanted, const QString& filter)
    : QFileDialog(owner, caption, preparedStart(wanted), filter) {
    setOption(DontUseNativeDialog);
    setOption(DontUseCustomDirectoryIcons);
    setOption(HideNameFilterDetails);  // the types' own texts, see QtDialogFilter
    setIconProvider(&nameOnlyIcons());
}

TSafeFileDialog::~TSafeFileDialog() {
    // Changing the folder is what makes Qt remember another one for the next dialog: done
    // here, where the dialog's answer has been read.
    if (!chosenFolder_.isEmpty() && !isPseudo(chosenFolder_)) setDirectory(chosenFolder_);
    else if (isPseudo(directory().absolutePath())) setDirectory(QDir::homePath());
}

void TSafeFileDialog::done(int result) {
    // Qt keeps the folder the dialog showed, not the one of a path typed into the name box.
    if (result == QDialog::Accepted && !selectedFiles().isEmpty()) {
        const QFileInfo chosen(selectedFiles().front());
        chosenFolder_ = fileMode() == Directory ? chosen.absoluteFilePath() : chosen.absolutePath();
    }
    QFileDialog::done(result);
}

std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& start,
                                    const std::function<void(QFileDialog&)>& prepare) {
    TSafeFileDialog dialog(owner, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (prepare) prepare(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> ChooseExistingFile(TSafeFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix({});
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

TPicturePreview::TPicturePreview(QWidget* parent) : QLabel(parent) {
    setObjectName("picturePreview");
    setFixedSize(kPreviewSide, kPreviewSide);
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

bool TPicturePreview::HasPicture() const { return !pixmap().isNull(); }

void TPicturePreview::ShowFile(const QString& file) {
    clear();
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > kPreviewMaxBytes || isPseudo(info.absolutePath())) return;
    QImageReader reader(file);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kPreviewMaxPixels) return;
    const QSize room(kPreviewSide - 4, kPreviewSide - 4);
    if (size.width() > room.width() || size.height() > room.height())
        reader.setScaledSize(size.scaled(room, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (!image.isNull()) setPixmap(QPixmap::fromImage(image));
}

TPicturePreview* AddPicturePreview(QFileDialog& dialog) {
    auto* preview = new TPicturePreview(&dialog);
    // Qt's own dialog lays itself out on a grid; the preview takes a column at its right.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(preview, 1, grid->columnCount(), 2, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TPicturePreview::ShowFile);
    return preview;
}

}  // namespace gs
