#pragma once
// The about box: the program's name, version and copyright beside its icon on the
// descriptor's panel colour, and a contacts panel, hidden at first, whose addresses open a
// mail or the web site.
#include <array>
#include <string>

#include "framework/ui/SmallForm.h"

class QLabel;
class QPushButton;
class QWidget;

namespace gs {

class TQBApplication;
class TSecretPanel;

inline constexpr const char* kAboutCaption = "About %s...";
// The maker's addresses behind the contacts panel besides the descriptor's two.
inline constexpr const char* kSuggestionsAddress = "suggestions@veltrazone.example";
inline constexpr const char* kOrdersAddress = "orders@veltrazone.example";
inline constexpr const char* kInformationAddress = "info@veltrazone.example";

class TAboutForm : public TSmallForm {
    Q_OBJECT
public:
    TAboutForm(const TQBApplication& app, const std::string& fontName, IFormDesktop& desktop,
               QWidget* parent = nullptr);

    void cmdContactsClick();
    // The address label `index` (0 to 4) clicked: a mail for the four mail addresses, the
    // browser for the web site.
    void AddressClick(int index);

    QLabel* imgApplicationIcon;
    QLabel* lblApplicationName;
    QLabel* lblApplicationVersion;
    QLabel* lblSpecialVersion;
    QLabel* lblCopyright;
    QWidget* pLeft;
    QWidget* pIcon02;
    TSecretPanel* pSecret;
    std::array<QLabel*, 5> lblAddress{};
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    QPushButton* cmdContacts;

private:
    std::array<std::string, 5> addresses_;
    QString contactsShow_, contactsHide_;
};

// Modal; the window goes when it closes.
void ShowAboutForm(const TQBApplication& app, const std::string& fontName, IFormDesktop& desktop,
                   QWidget* parent = nullptr);

}  // namespace gs
