#include "framework/ui/TipOfTheDayForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "framework/core/Application.h"
#include "framework/core/FileUtils.h"
#include "framework/core/HiddenStrings.h"
#include "framework/core/MessageBoxes.h"
#include "framework/ui/FormTexts.h"
#include "framework/ui/QtBridge.h"

namespace gs {

TTipOfTheDayForm::TTipOfTheDayForm(const TQBApplication& app, bool showAtStartup, TTipList tips,
                                   IFormDesktop& desktop, QWidget* parent)
    : TSmallForm(parent, desktop, "TipOfTheDayForm", 441, 249), tips_(std::move(tips)) {
    setWindowTitle(kTipCaption);
    ApplyFormFont(*this, app.FontName);

    pMessage = new QWidget(this);
    pMessage->setObjectName("pMessage");
    pMessage->setGeometry(8, 8, 425, 192);
    pMessage->setAutoFillBackground(true);
    QPalette white = pMessage->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    pMessage->setPalette(white);
    lblHeading = new QLabel(kTipHeading, pMessage);
    lblHeading->setObjectName("lblHeading");
    lblHeading->setGeometry(16, 12, 393, 28);
    QFont heading = lblHeading->font();
    heading.setPointSize(12);
    heading.setBold(true);
    lblHeading->setFont(heading);
    lblMessage = new QLabel(pMessage);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setGeometry(16, 48, 393, 132);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->setTextFormat(Qt::PlainText);

    chkShowTips = new QCheckBox("&Show tips at startup", this);
    chkShowTips->setObjectName("chkShowTips");
    chkShowTips->setGeometry(8, 214, 200, 22);
    chkShowTips->setChecked(showAtStartup);
    cmdNextTip = new QPushButton("&Next Tip", this);
    cmdNextTip->setObjectName("cmdNextTip");
    cmdNextTip->setGeometry(241, 212, 92, 26);
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(341, 212, 92, 26);
    cmdClose->setDefault(true);
    connect(cmdNextTip, &QPushButton::clicked, this, [this] { cmdNextTipClick(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    showTip();
}

void TTipOfTheDayForm::showTip() { lblMessage->setText(qs(tips_.Current())); }

void TTipOfTheDayForm::cmdNextTipClick() {
    tips_.Next();
    showTip();
}

bool ShowTipOfTheDay(const TQBApplication& app, bool showAtStartup, bool forced, IMessageBoxes& boxes,
                     IFormDesktop& desktop, QWidget* parent, std::mt19937* random) {
    if (!showAtStartup && !forced) return showAtStartup;
    if (!app.TipFile.empty() && SafeFileExists(app.TipFile)) {
        TTipList tips(ReadTipFile(app.TipFile));
        // A file without a single tip has nothing to show: the setting stays as it was.
        if (tips.Empty()) return showAtStartup;
        std::mt19937 fresh{std::random_device{}()};
        tips.Shuffle(random ? *random : fresh);
        TTipOfTheDayForm form(app, showAtStartup, std::move(tips), desktop, parent);
        form.CenterOnOwner();
        form.exec();
        return form.chkShowTips->isChecked();
    }
    if (forced)
        boxes.ShowQBMessage(DecoderText(kTextTipFileMissing).toStdString(), app.Title,
                            TQBMessageType::mtWarning, TQBButtonSet::bsOK, kFirstButton,
                            app.LanguageId, app.FontName);
    return false;
}

}  // namespace gs
