#pragma once
// The file-properties window: one "General" page with the file's icon, name, folder, type,
// size, times and attributes, all read-only.
#include <array>
#include <string>

#include <QImage>

#include "framework/core/FileProperties.h"
#include "framework/ui/SmallForm.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace gs {

inline constexpr const char* kFilePropsCaption = "File Properties...";

class TFilePropsForm : public TSmallForm {
    Q_OBJECT
public:
    // The icon shown is the desktop's for the file's type until ShowFileIcon gives another.
    TFilePropsForm(const std::string& fileName, const TFileProperties& values, IFormDesktop& desktop,
                   QWidget* parent = nullptr);
    // The file's own icon (a null image keeps the type's).
    void ShowFileIcon(const QImage& icon);

    QTabWidget* pcMain;
    QLabel* imgIcon;
    QLineEdit* txtFileName;
    QLineEdit* txtLocation;
    QLineEdit* txtFileType;
    QLineEdit* txtSize;
    QLineEdit* txtCreated;
    QLineEdit* txtModified;
    QLineEdit* txtAccessed;
    QListWidget* clbAttributes;
    QPushButton* cmdClose;
};

// The description of the file's type in the shared-mime-info database (what its content
// and name say), or empty when the database knows no type for it but the generic one.
std::string FileTypeDescription(const std::string& fileName);

// Modal, display only. `icon` is the file's own icon, read by the caller (an icon file's or a
// module's first icon); without it the icon of the file's type is shown.
void ShowFileProperties(const std::string& fileName, IFormDesktop& desktop,
                        QWidget* parent = nullptr, const QImage& icon = {});

}  // namespace gs
