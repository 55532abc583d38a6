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
    // No icon is shown until ShowFileIcon gives one.
    TFilePropsForm(const TFileProperties& values, IFormDesktop& desktop, QWidget* parent = nullptr);
    // The file's icon (a null image shows none).
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

// Modal, display only: the file's values (GetFileProperties, its type named by
// GetFileTypeName) and its icon (GetFileIcon: an icon file's or a program's own, else its
// type's registered one; none when that fails).
void ShowFileProperties(const std::string& fileName, IFormDesktop& desktop, QWidget* parent = nullptr);

}  // namespace gs
