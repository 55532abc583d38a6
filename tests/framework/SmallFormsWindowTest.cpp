// The splash, about, tip-of-the-day and file-properties windows offscreen, with a recording
// desktop and scripted boxes: sizes, captions, names, the contacts panel, the tips and the
// keys every dialog shares.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "controls/ui/SecretPanel.h"
#include "support/TempDir.h"
#include "framework/core/Application.h"
#include "framework/core/HiddenStrings.h"
#include "framework/core/MessageBoxes.h"
#include "framework/ui/AboutForm.h"
#include "framework/ui/FilePropsForm.h"
#include "framework/ui/FormDesktop.h"
#include "framework/ui/QtBridge.h"
#include "framework/ui/SplashForm.h"
#include "framework/ui/TipOfTheDayForm.h"
#include "support/DialogFrame.h"

using namespace gs;

namespace {

struct Desktop : IFormDesktop {
    std::vector<std::string> calls;
    void ShowHelp() override { calls.push_back("help"); }
    void OpenURL(const std::string& url) override { calls.push_back("url " + url); }
    void SendMail(const std::string& address) override { calls.push_back("mail " + address); }
    void RunSystemInformation() override { calls.push_back("sysinfo"); }
};

struct Boxes : IMessageBoxes {
    std::vector<std::pair<std::string, int>> shown;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t type, std::uint8_t,
                                   std::uint16_t, std::uint8_t, const std::string&) override {
        shown.emplace_back(msg, type);
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string&, const std::string&, const std::string&, std::uint8_t, std::uint8_t,
                              const std::string&, bool) override {}
};

TQBApplication descriptor(const std::string& tipFile = {}) {
    TQBApplication app;
    app.Title = "Veltrazone Glyphscope";
    app.FamilyName = "Veltrazone Toolchest";
    app.VersionText = "1.2.3 Build 4";
    app.Copyright = "Copyright Veltrazone";
    app.FontName = "Tahoma";
    app.PanelColor = 0xA56E3A;
    app.TipFile = tipFile;
    app.WebAddresses.WebSite = "https://veltrazone.example/glyphscope";
    app.WebAddresses.SupportAddress = "support@veltrazone.example";
    return app;
}

QSize grabbed(QWidget& w) { return w.grab().size(); }

// Runs `body` on the modal window that comes up, then lets the caller's exec return.
void onModal(std::function<void(QWidget&)> body) {
    QTimer::singleShot(0, [body] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        body(*modal);
        modal->close();
    });
}

void press(QWidget& w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

}  // namespace

TEST(SmallForms, SizesCaptionsAndKeys) {
    gstest::TempDir dir;
    Desktop desktop;
    const TQBApplication app = descriptor();
    TAboutForm about(app, app.FontName, desktop);
    TTipOfTheDayForm tip(app, true, TTipList({"a"}), desktop);
    TFilePropsForm props(TFileProperties{}, desktop);
    ShowSplashForm(app, QImage(), Qt::white);
    ASSERT_NE(SplashForm(), nullptr);
    EXPECT_EQ(grabbed(*SplashForm()), QSize(500, 400));
    EXPECT_EQ(SplashForm()->lblWarning->text().toStdString(), HiddenText(kTextSplashWarning));
    CloseSplashForm();
    EXPECT_EQ(SplashForm(), nullptr);

    const struct {
        TSmallForm* form;
        QSize size;
        const char* caption;
    } cases[] = {{&about, {425, 380}, "About Veltrazone Glyphscope..."},
                 {&tip, {441, 249}, "Tip Of The Day..."},
                 {&props, {377, 407}, "File Properties..."}};
    for (const auto& c : cases) {
        EXPECT_EQ(grabbed(*c.form), c.size) << c.caption;
        EXPECT_EQ(c.form->windowTitle().toStdString(), c.caption);
        EXPECT_TRUE(gstest::HasDialogFrame(*c.form));
        c.form->show();
        press(*c.form, Qt::Key_F1);
        press(*c.form, Qt::Key_Escape);
        EXPECT_FALSE(c.form->isVisible()) << c.caption;
    }
    EXPECT_EQ(desktop.calls, std::vector<std::string>(3, "help"));
}

TEST(SmallForms, AboutContactsPanelAndAddresses) {
    Desktop desktop;
    const TQBApplication app = descriptor();
    TAboutForm about(app, app.FontName, desktop);
    EXPECT_EQ(about.lblApplicationName->text(), "Veltrazone Glyphscope");
    EXPECT_EQ(about.lblApplicationVersion->text().toStdString(), HiddenText(kTextVersionWord) + " 1.2.3 Build 4");
    ASSERT_NE(about.findChild<TSecretPanel*>("pSecret"), nullptr);
    EXPECT_TRUE(about.pSecret->isHidden());
    EXPECT_EQ(about.cmdContacts->text().toStdString(), HiddenText(kTextContactsShow));
    about.cmdContacts->click();
    EXPECT_FALSE(about.pSecret->isHidden());
    EXPECT_EQ(about.cmdContacts->text().toStdString(), HiddenText(kTextContactsHide));
    about.cmdContacts->click();
    EXPECT_TRUE(about.pSecret->isHidden());
    EXPECT_EQ(about.cmdContacts->text().toStdString(), HiddenText(kTextContactsShow));

    for (int i = 0; i < 5; ++i) {
        QLabel* label = about.findChild<QLabel*>(QString("lblAddress0%1").arg(i + 1));
        ASSERT_NE(label, nullptr);
        emit label->linkActivated("#");
    }
    about.cmdSysInfo->click();
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"mail support@veltrazone.example", "mail suggestions@veltrazone.example",
                                        "mail orders@veltrazone.example", "mail info@veltrazone.example",
                                        "url https://veltrazone.example/glyphscope", "sysinfo"}));

    TQBApplication family = app;
    family.Title = family.FamilyName;
    family.ShortName = "Glyphscope";
    EXPECT_EQ(TAboutForm(family, "", desktop).lblApplicationName->text(), "Glyphscope");
}

// Stored colour values hold red in the low byte; the top byte (system-colour flags) is no colour.
TEST(QtBridge, ColourValuesAndText) {
    EXPECT_EQ(toQColor(0x00FF8040u), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(toQColor(0x80C0DCC0u), QColor(0xC0, 0xDC, 0xC0));
    EXPECT_EQ(qs("Cr\xC3\xA8me").toStdString(), "Cr\xC3\xA8me");
}

TEST(SmallForms, TipOfTheDay) {
    gstest::TempDir dir;
    Desktop desktop;
    Boxes boxes;
    const std::string tips = dir / "tips.tip";
    std::ofstream(tips, std::ios::binary) << "only tip\r\n";
    const TQBApplication app = descriptor(tips);

    // Neither flag: nothing shown, the setting kept.
    EXPECT_FALSE(ShowTipOfTheDay(app, false, false, boxes, desktop));
    // A one-line CRLF file: the tip without its CR, shown again by Next Tip; the check answers.
    onModal([](QWidget& w) {
        auto& form = static_cast<TTipOfTheDayForm&>(w);
        EXPECT_EQ(form.lblMessage->text(), "only tip");
        form.cmdNextTip->click();
        EXPECT_EQ(form.lblMessage->text(), "only tip");
        EXPECT_TRUE(form.chkShowTips->isChecked());
        form.chkShowTips->setChecked(false);
    });
    EXPECT_FALSE(ShowTipOfTheDay(app, true, false, boxes, desktop));
    EXPECT_TRUE(boxes.shown.empty());

    // An empty file: no window, the setting kept.
    std::ofstream(tips, std::ios::binary | std::ios::trunc).flush();
    EXPECT_TRUE(ShowTipOfTheDay(app, true, true, boxes, desktop));
    EXPECT_TRUE(boxes.shown.empty());

    // No tip file: forced shows the decoder's warning and answers false; at start-up nothing.
    const TQBApplication missing = descriptor(dir / "none.tip");
    EXPECT_FALSE(ShowTipOfTheDay(missing, true, false, boxes, desktop));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(ShowTipOfTheDay(missing, true, true, boxes, desktop));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, HiddenText(kTextTipFileMissing));
    EXPECT_EQ(boxes.shown[0].second, int(TQBMessageType::mtWarning));
}

// A tip file of 2 GB (sparse: no line break in it) or one line of 50 MB is no list of tips to
// hold whole: the window opens on the head of the file, each tip cut to a tip's size.
TEST(SmallForms, OversizedTipFilesOpenOnABoundedTip) {
    gstest::TempDir dir;
    Desktop desktop;
    Boxes boxes;
    const std::string sparse = dir / "sparse.tip", longLine = dir / "line.tip";
    std::ofstream(sparse, std::ios::binary).flush();
    std::filesystem::resize_file(sparse, std::uint64_t(2) << 30);
    std::ofstream(longLine, std::ios::binary) << std::string(50 << 20, 'x') << "\nsecond\n";
    const struct {
        std::string file;
        QString shown;
    } cases[] = {{sparse, QString(int(kMaxTipBytes), QChar(0))}, {longLine, QString(int(kMaxTipBytes), 'x')}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        bool opened = false;
        onModal([&](QWidget& w) {
            auto& form = static_cast<TTipOfTheDayForm&>(w);
            opened = true;
            // The first tip shown is either tip of the file, whichever the shuffle put first.
            const QString shown = form.lblMessage->text();
            EXPECT_TRUE(shown == "second" || shown == c.shown) << shown.size();
        });
        std::mt19937 random{7};
        EXPECT_TRUE(ShowTipOfTheDay(descriptor(c.file), true, false, boxes, desktop, nullptr, &random));
        EXPECT_TRUE(opened);
    }
}

TEST(SmallForms, NextTipWrapsThroughEveryTip) {
    Desktop desktop;
    TTipOfTheDayForm form(descriptor(), false, TTipList({"a", "b", "c"}), desktop);
    EXPECT_FALSE(form.chkShowTips->isChecked());
    EXPECT_TRUE(form.cmdClose->isDefault());
    std::vector<QString> shown;
    for (int i = 0; i < 4; ++i) {
        shown.push_back(form.lblMessage->text());
        form.cmdNextTip->click();
    }
    EXPECT_EQ(shown, (std::vector<QString>{"a", "b", "c", "a"}));
}

TEST(SmallForms, FilePropertiesShowTheValues) {
    Desktop desktop;
    TFileProperties values;
    values.FileName = "a.ico";
    values.Location = "/tmp/";
    values.FileType = "ICO File";
    values.Size = "1,234 bytes";
    values.Created = values.Modified = values.Accessed = "Unknown";
    values.Attributes = {false, true, true, false, false};
    TFilePropsForm form(values, desktop);
    const std::pair<const char*, std::string> fields[] = {
        {"txtFileName", "a.ico"},    {"txtLocation", "/tmp/"},   {"txtFileType", "ICO File"},
        {"txtSize", "1,234 bytes"},  {"txtCreated", "Unknown"},  {"txtModified", "Unknown"},
        {"txtAccessed", "Unknown"}};
    for (const auto& [name, text] : fields) {
        auto* edit = form.findChild<QLineEdit*>(name);
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_EQ(edit->text().toStdString(), text) << name;
        EXPECT_TRUE(edit->isReadOnly());
    }
    EXPECT_FALSE(form.clbAttributes->isEnabled());
    ASSERT_EQ(form.clbAttributes->count(), 5);
    const char* captions[] = {"Archive", "Read-only", "Hidden", "System", "Compressed"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form.clbAttributes->item(i)->text(), captions[i]);
        EXPECT_EQ(form.clbAttributes->item(i)->checkState() == Qt::Checked, values.Attributes[std::size_t(i)]);
    }
}
