#include "framework/ui/AboutForm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "controls/ui/SecretPanel.h"
#include "framework/core/Application.h"
#include "framework/core/HiddenStrings.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/FormDesktop.h"
#include "framework/ui/FormTexts.h"
#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

constexpr int kWebAddress = 4;
constexpr const char* kContactCaptions[5] = {"Technical Support:", "Suggestions:", "Orders:", "General Information:",
                                             "Web site:"};

QLabel* label(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, int x) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, 344, 100, 26);
    return b;
}

void paintPanel(QWidget* panel, std::uint32_t bgr) {
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, toQColor(bgr));
    panel->setPalette(p);
}

}  // namespace

TAboutForm::TAboutForm(const TQBApplication& app, const std::string& fontName, IFormDesktop& desktop, QWidget* parent)
    : TSmallForm(parent, desktop, "AboutForm", 425, 380) {
    setWindowTitle(qs(FormatOne(kAboutCaption, app.Title)));
    ApplyFormFont(*this, fontName);

    pLeft = new QWidget(this);
    pLeft->setObjectName("pLeft");
    pLeft->setGeometry(0, 0, 72, 380);
    paintPanel(pLeft, app.PanelColor);
    pIcon02 = new QWidget(this);
    pIcon02->setObjectName("pIcon02");
    pIcon02->setGeometry(88, 16, 56, 56);
    paintPanel(pIcon02, app.PanelColor);
    imgApplicationIcon = label(pIcon02, "imgApplicationIcon", 12, 12, 32, 32);
    imgApplicationIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));

    const std::string& name = app.Title == app.FamilyName ? app.ShortName : app.Title;
    lblApplicationName = label(this, "lblApplicationName", 160, 16, 250, 22, qs(name));
    QFont bold = lblApplicationName->font();
    bold.setPointSize(10);
    bold.setBold(true);
    lblApplicationName->setFont(bold);
    lblApplicationVersion = label(this, "lblApplicationVersion", 160, 40, 250, 18, VersionLine(app));
    lblSpecialVersion =
        label(this, "lblSpecialVersion", 160, 58, 250, 18, qs(app.SpecialVersionText));
    lblCopyright = label(this, "lblCopyright", 160, 80, 250, 48, qs(app.Copyright));
    lblCopyright->setWordWrap(true);
    lblCopyright->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    addresses_ = {app.WebAddresses.SupportAddress, kSuggestionsAddress, kOrdersAddress, kInformationAddress,
                  app.WebAddresses.WebSite};
    pSecret = new TSecretPanel(this);
    pSecret->setObjectName("pSecret");
    pSecret->setGeometry(80, 140, 337, 190);
    pSecret->setFrameShape(QFrame::StyledPanel);
    for (int i = 0; i < 5; ++i) {
        // Each caption over its address, so the longest address fits the panel.
        label(pSecret, "", 8, 4 + i * 37, 320, 17, kContactCaptions[i]);
        const QString address = qs(addresses_[std::size_t(i)]).toHtmlEscaped();
        const QByteArray objectName = QByteArray("lblAddress0") + char('1' + i);
        lblAddress[std::size_t(i)] = label(pSecret, objectName.constData(), 24, 20 + i * 37, 305, 17,
                                           "<a href=\"#\">" + address + "</a>");
        lblAddress[std::size_t(i)]->setCursor(Qt::PointingHandCursor);
        connect(lblAddress[std::size_t(i)], &QLabel::linkActivated, this, [this, i] { AddressClick(i); });
    }
    pSecret->hide();

    contactsShow_ = DecoderText(kTextContactsShow);
    contactsHide_ = DecoderText(kTextContactsHide);
    cmdOK = button(this, "cmdOK", "&OK", 88);
    cmdSysInfo = button(this, "cmdSysInfo", "&System Info...", 198);
    cmdContacts = button(this, "cmdContacts", "&Contacts >>", 308);
    cmdContacts->setText(contactsShow_);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { desktop_.RunSystemInformation(); });
    connect(cmdContacts, &QPushButton::clicked, this, [this] { cmdContactsClick(); });
}

void TAboutForm::cmdContactsClick() {
    pSecret->setVisible(pSecret->isHidden());
    cmdContacts->setText(pSecret->isHidden() ? contactsShow_ : contactsHide_);
}

void TAboutForm::AddressClick(int index) {
    if (index < 0 || index > kWebAddress) return;
    if (index == kWebAddress) desktop_.OpenURL(addresses_[std::size_t(index)]);
    else desktop_.SendMail(addresses_[std::size_t(index)]);
}

void ShowAboutForm(const TQBApplication& app, const std::string& fontName, IFormDesktop& desktop, QWidget* parent) {
    TAboutForm form(app, fontName, desktop, parent);
    form.CenterOnOwner();
    form.exec();
}

}  // namespace gs
