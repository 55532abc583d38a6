// F1 in the main window and in each of its dialogs, offscreen, with a program installed in a
// prefix of its own: the opener is asked for the installed manual, at the dialog's section.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QShortcut>
#include <QItemSelectionModel>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

#include "app/ExtractMaterial.h"
#include "app/FakeMainServices.h"
#include "support/QtTestApp.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/core/HelpContexts.h"
#include "app/ui/MainWindow.h"
#include "controls/ui/FileDialogs.h"
#include "framework/core/SysUtils.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

// A prefix with the program's manual where an installation puts it; the program's descriptor
// is made for PREFIX/bin/glyphscope, as start-up makes it for an installed program.
struct Installed {
    TempDir prefix;
    std::string manual = (prefix.path / "share/glyphscope/glyphscope.html").string();
    Installed() {
        std::filesystem::create_directories(prefix.path / "share/glyphscope");
        std::filesystem::create_directories(prefix.path / "bin");
        std::ofstream(manual) << "<!DOCTYPE html><title>manual</title>";
        std::ofstream(prefix.path / "share/glyphscope/glyphscope.tip") << "A tip.\n";
        if (hasApplication()) uninstallApplication();
        installApplication(makeApplicationDescriptor((prefix.path / "bin/glyphscope").string()));
    }
};

Installed& installed() {
    static Installed once;  // outlives every window of the run; its folder goes at exit
    return once;
}

struct RecordingServices : ScriptedServices {
    std::vector<std::vector<std::string>> started;
    bool Start(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return true;
    }
};

struct HelpWindow {
    TRegistryStore store{":memory:"};
    TAppContext context{store};
    RecordingServices services;
    std::unique_ptr<TKAVUMain> w;
    Tree folder;

    HelpWindow() {
        qtTestApp();
        installed();
        w = std::make_unique<TKAVUMain>(context, services);
    }
    // Lists a folder with one icon, so the commands that need a listing are enabled.
    void listOneIcon() {
        folder.put("one.ico", oneIcon());
        QEventLoop loop;
        QObject::connect(w.get(), &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
        w->Guard([&] { w->SelectFolder(folder.path.string()); });
        if (w->ExtractionRunning()) loop.exec();
        QCoreApplication::processEvents();
    }
    // Runs `open`, which shows a modal dialog; once the dialog is up, F1 goes to it and the
    // dialog is closed. The caption of the dialog that was up is returned.
    QString pressF1In(const std::function<void()>& open) {
        QString caption;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            poll.stop();
            caption = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_F1);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            else modal->close();
        });
        poll.start(5);
        open();
        return caption;
    }
    std::vector<std::string> opened(int context) const {
        return {kOpenProgram, context == 0 ? installed().manual : FileAddress(installed().manual) + "#" +
                                                                    HelpSectionName(context)};
    }
};

}  // namespace

TEST(HelpRouting, TheHelpCommandOpensTheInstalledManualAtItsStart) {
    HelpWindow t;
    EXPECT_EQ(application().HelpFile, installed().manual);
    t.w->Execute(A::actHelpContents);
    ASSERT_EQ(t.services.started.size(), 1u);
    EXPECT_EQ(t.services.started[0], t.opened(0));
}

TEST(HelpRouting, F1InEachDialogOpensTheManualAtThatDialogsSection) {
    HelpWindow t;
    t.listOneIcon();
    struct Case {
        const char* caption;
        int context;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"Preferences...", kPreferencesHelpContext, [&] { t.w->Execute(A::actFilePreferences); }},
        {"Select Image Format...", kSelectFormatHelpContext, [&] { t.services.AskImageFormat(t.w.get()); }},
        {"Organize Favorites...", kFavoritesHelpContext, [&] { t.w->Execute(A::actFavoritesOrganize); }},
        {"Add to Favorites...", kFavoritesHelpContext, [&] { t.w->Execute(A::actFavoritesAdd); }},
        {"Filter Icons...", kFilterHelpContext, [&] { t.w->Execute(A::actViewFilter); }},
        {"Find...", kFindHelpContext, [&] { t.w->Execute(A::actEditFind); }},
        {"Tip Of The Day...", kTipOfTheDayHelpContext, [&] { t.w->Execute(A::actHelpTipOfTheDay); }},
        {"About Veltrazone Glyphscope...", kAboutHelpContext, [&] { t.w->Execute(A::actHelpAbout); }},
        {"File Properties...", kFilePropertiesHelpContext, [&] {
             t.w->ListView().SelectRow(0);
             t.w->Execute(A::actIconFileProperties);
         }},
    };
    for (const Case& c : cases) {
        t.services.started.clear();
        EXPECT_EQ(t.pressF1In(c.open).toStdString(), c.caption);
        // Once, at the dialog's section: the main window's own F1 stays out of it.
        ASSERT_EQ(t.services.started.size(), 1u) << c.caption;
        EXPECT_EQ(t.services.started[0], t.opened(c.context)) << c.caption;
    }
    EXPECT_TRUE(t.services.boxes.empty());
}

TEST(HelpRouting, WithoutTheManualF1DoesNothing) {
    HelpWindow t;
    std::filesystem::rename(installed().manual, installed().manual + ".gone");
    t.w->Execute(A::actHelpContents);
    t.pressF1In([&] { t.w->Execute(A::actFilePreferences); });
    std::filesystem::rename(installed().manual + ".gone", installed().manual);
    EXPECT_TRUE(t.services.started.empty());
    EXPECT_TRUE(t.services.boxes.empty());  // nothing to say either
}

// The save commands' own file dialogs (Qt's, as the program opens them): their F1 asks for
// their sections. (Offscreen no window is active for the key, so its shortcut is fired.)
TEST(HelpRouting, F1InTheSaveAndLibraryDialogsAsksForTheirSections) {
    HelpWindow t;
    t.listOneIcon();
    t.w->ListView().Model().Flush();  // the listed icon laid out, to be selected
    t.w->ListView().SelectRow(0);
    t.w->Guard([&] { t.w->alMainUpdate(); });
    t.context.Options.PromptForFileName = true;
    std::vector<int> asked;
    std::vector<std::string> captions;
    SetDialogHelp([&asked](int context) { asked.push_back(context); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        captions.push_back(dialog->windowTitle().toStdString());
        for (QShortcut* key : dialog->findChildren<QShortcut*>())
            if (key->key() == QKeySequence(Qt::Key_F1)) emit key->activated();
        dialog->reject();
    });
    poll.start(5);
    t.w->Execute(A::actIconAddToNewICL);
    t.w->Execute(A::actIconSaveIcons);  // a job: its dialog comes up after the command returned
    EXPECT_TRUE(QTest::qWaitFor([&] { return captions.size() == 2; }, 30000));  // a bound, not a measure
    SetDialogHelp(nullptr);
    EXPECT_EQ(captions, (std::vector<std::string>{"Create New Icon Library...", "Select Icon Name..."}));
    EXPECT_EQ(asked, (std::vector<int>{kIconMenuHelpContext, kSaveHelpContext}));
}
