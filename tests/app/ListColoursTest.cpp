// The list's colours: stored values of its own and of the desktop's system colours, as the
// Preferences boxes list them and the main window shows them (offscreen, from the palette).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QImage>
#include <QPushButton>

#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/ExceptionGuard.h"
#include "app/ui/ListColours.h"
#include "app/ui/OptionsDlg.h"
#include "framework/core/MessageBoxes.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

using namespace gs;

namespace {

struct NoBoxes : IMessageBoxes {
    TQBMessageResult ShowQBMessage(const std::string&, const std::string&, std::uint8_t, std::uint8_t, std::uint16_t,
                                   std::uint8_t, const std::string&) override {
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string&, const std::string&, const std::string&, std::uint8_t, std::uint8_t,
                              const std::string&, bool) override {}
};

TEST(ListColours, StoredValuesShowTheirBytesOrThePalettesRole) {
    QPalette p;
    p.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    p.setColor(QPalette::Active, QPalette::Text, QColor(4, 5, 6));
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(7, 8, 9));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(10, 11, 12));
    p.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(13, 14, 15));
    const std::pair<int, QColor> cases[] = {
        {0x000080, QColor(0x80, 0, 0)},           {0xC0C0C0, QColor(0xC0, 0xC0, 0xC0)},
        {int(0x80000005u), QColor(1, 2, 3)},      {int(0x80000008u), QColor(4, 5, 6)},
        {int(0x8000000Du), QColor(7, 8, 9)},      {int(0x80000011u), QColor(10, 11, 12)},
        {int(0x80000018u), QColor(13, 14, 15)},   {int(0x800000FFu), QColor(1, 2, 3)},
    };
    for (const auto& [stored, shown] : cases) EXPECT_EQ(ListColour(stored, p), shown) << std::hex << stored;
    ASSERT_EQ(SystemColours().size(), 25u);
    for (std::size_t i = 0; i < SystemColours().size(); ++i) EXPECT_EQ(SystemColours()[i].code, int(0x80000000u | i));
}

TEST(ListColours, PreferencesListsTheSystemColoursAndStoresTheirCodes) {
    gstest::qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
    gstest::TempDir dir("gs-colours-");
    TRegistryStore store((dir.path / "registry.sqlite3").string());
    TAppContext context(store);
    context.Options.ListWindowsColors = false;
    context.Options.ListTextColor = int(0x80000008u);  // window text
    NoBoxes boxes;
    TAppExceptionHandler handler{boxes, [] {}, [] {}};
    TOptionsDlg d(context, nullptr, [] {}, handler);
    d.show();
    EXPECT_EQ(d.cbTextColor->currentText(), "Window Text");
    EXPECT_EQ(d.cbTextColor->count(), 20 + 25);
    d.cbBackColor->setCurrentIndex(d.cbBackColor->findText("Info Background"));
    d.cbBackColor->showPopup();
    const QImage popup = d.cbBackColor->view()->grab().toImage();
    if (const char* out = std::getenv("GS_SHOT_DIR")) popup.save(QString(out) + "/colour-box.png");
    d.cbBackColor->hidePopup();
    EXPECT_FALSE(popup.isNull());
    d.cmdOK->click();
    EXPECT_EQ(context.Options.ListBackColor, int(0x80000018u));
    EXPECT_EQ(context.Options.ListTextColor, int(0x80000008u));
}

}  // namespace
