#pragma once
// The file-properties window: one "General" page with the file's icon, name, folder, type,
// size, times and attributes, all read-only.
#include <array>
#include <string>

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
    TFilePropsForm(const std::string& fileName, const TFileProperties& values, IFormDesktop& desktop,
                   QWidget* parent = nullptr);

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

// Modal, display only.
void ShowFileProperties(const std::string& fileName, RegistryStore& store, IFormDesktop& desktop,
                        QWidget* parent = nullptr);

}  // namespace gs
