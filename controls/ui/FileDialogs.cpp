#include "controls/ui/FileDialogs.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSettings>
#include <QUrl>

#include "platform/FileSystems.h"

namespace gs {

namespace {

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

// The start folder, after Qt's settings have forgotten a pseudo folder they remember.
QString preparedStart(const QString& wanted) {
    const QString start = DialogStartFolder(wanted);
    QSettings settings(QSettings::UserScope, QString::fromLatin1(kQtSettingsName));
    const QUrl last = settings.value(QString::fromLatin1(kLastVisitedKey)).toUrl();
    if (last.isLocalFile() && isPseudo(last.toLocalFile()))
        settings.setValue(QString::fromLatin1(kLastVisitedKey), QUrl::fromLocalFile(start).toString());
    return start;
}

}  // namespace

QString DialogStartFolder(const QString& wanted) {
    const std::filesystem::path start =
        DialogStartFolder(std::filesystem::path(wanted.toStdString()), QDir::homePath().toStdString());
    return QString::fromStdString(start.string());
}

TSafeFileDialog::TSafeFileDialog(QWidget* owner, const QString& caption, const QString& wanted, const QString& filter)
    : QFileDialog(owner, caption, preparedStart(wanted), filter) {
    setOption(DontUseNativeDialog);
    setOption(DontUseCustomDirectoryIcons);
    setIconProvider(&nameOnlyIcons());
}

TSafeFileDialog::~TSafeFileDialog() {
    // Changing the folder is what makes Qt remember another one for the next dialog.
    if (isPseudo(directory().absolutePath())) setDirectory(QDir::homePath());
}

std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& start) {
    TSafeFileDialog dialog(owner, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

}  // namespace gs
