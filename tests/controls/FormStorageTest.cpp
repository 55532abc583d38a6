// Form storage over Qt widgets: the kinds of Qt properties by their stored texts, entries
// that name nothing, and when a form's events restore and save (close accepted or refused,
// versions, Active, destruction without a close), in the settings store and an INI file.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <tuple>

#include "support/QtTestApp.h"
#include "controls/ui/FormStorage.h"
#include "controls/ui/WindowHook.h"
#include "framework/core/RegUtils.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;

class TTestPanel : public QWidget {
    Q_OBJECT
public:
    enum Shape { skRound = 0, skSquare = 5 };
    Q_ENUM(Shape)
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
    Q_DECLARE_FLAGS(Styles, Style)
    Q_FLAG(Styles)
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(Shape Kind MEMBER Kind)
    Q_PROPERTY(Styles Style READ style WRITE setStyle)
    Q_PROPERTY(QWidget* Buddy MEMBER Buddy)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(char Letter MEMBER Letter)
    Q_PROPERTY(QChar Glyph MEMBER Glyph)
    Q_PROPERTY(qulonglong Huge MEMBER Huge)
    Q_PROPERTY(qlonglong Big MEMBER Big)
    Q_PROPERTY(QVariant Any MEMBER Any)
    Q_PROPERTY(float Scale MEMBER Scale)
    using QWidget::QWidget;
    int Count = 0;
    double Ratio = 0;
    QString Caption;
    Shape Kind = skRound;
    Styles Look;
    Styles style() const { return Look; }
    void setStyle(Styles s) { Look = s; }
    QWidget* Buddy = nullptr;
    QStringList Lines;
    char Letter = 'a';
    QChar Glyph = u'a';
    qulonglong Huge = 0;
    qlonglong Big = 0;
    QVariant Any;
    float Scale = 1;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TTestPanel::Styles)

namespace {

class TTestForm : public QWidget {
public:
    bool allowClose = true;
    TFormStorage* storage;
    TTestPanel* panel;
    explicit TTestForm(TRegistryStore& store) {
        setObjectName("TestForm");
        panel = new TTestPanel(this);
        panel->setObjectName("panel");
        storage = new TFormStorage(this);
        storage->SetRegistryStore(store);
        storage->UseRegistry = true;
        storage->IniFileName = "Software\\Test";
        storage->IniSection = "Form";
        storage->StoredProps = {"panel.Count", "panel.ratio", "panel.Caption", "panel.Kind", "panel.Style",
                                "panel.Buddy", "panel.Lines", "panel.Missing", "gone.Count", "nopoint"};
        storage->Attach();
        resize(300, 200);
    }
    ~TTestForm() override { storage->FormDestroy(); }

protected:
    void closeEvent(QCloseEvent* e) override { e->setAccepted(allowClose); }
};

std::string value(TRegistryStore& store, const char* name) {
    return RegReadString(store, HKEY_CURRENT_USER, "Software\\Test\\Form", name, "-");
}

}  // namespace

TEST(TFormStorage, QtPropertiesGoByTheirTextsAndComeBack) {
    qtTestApp();
    TRegistryStore store(":memory:");
    {
        TTestForm form(store);
        EXPECT_EQ(form.storage->StoredProps.size(), 8);  // "gone" and "nopoint" went at attach
        form.show();
        form.panel->Count = -12;
        form.panel->Ratio = 2.25;
        form.panel->Caption = "  padded ";
        form.panel->Kind = TTestPanel::skSquare;
        form.panel->Look = TTestPanel::fsBold | TTestPanel::fsUnderline;
        form.panel->Buddy = &form;
        form.panel->Lines = {"one", "two"};
        EXPECT_TRUE(form.close());
    }
    const std::pair<const char*, const char*> texts[] = {
        {"panel_Count", "-12"}, {"panel_ratio", "2.25"},     {"panel_Caption", "padded"},
        {"panel_Kind", "skSquare"}, {"panel_Style", "[fsBold,fsUnderline]"}, {"panel_Buddy", "TestForm"},
        {"panel_Missing", "-"},  {"Visible", "-"}};
    for (const auto& [name, text] : texts) EXPECT_EQ(value(store, name), text) << name;
    EXPECT_EQ(RegReadString(store, HKEY_CURRENT_USER, "Software\\Test\\Form.panel_Lines", "Item1", ""), "two");
    TTestForm again(store);
    again.show();
    EXPECT_EQ(again.panel->Count, -12);
    EXPECT_EQ(again.panel->Ratio, 2.25);
    EXPECT_EQ(again.panel->Caption, "padded");
    EXPECT_EQ(again.panel->Kind, TTestPanel::skSquare);
    EXPECT_EQ(again.panel->Look, TTestPanel::fsBold | TTestPanel::fsUnderline);
    EXPECT_EQ(again.panel->Buddy, &again);
    EXPECT_EQ(again.panel->Lines, QStringList({"one", "two"}));
    RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "panel_Buddy", "(NULL)");
    RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "panel_Kind", "skOval");
    RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "panel_Count", "many");
    again.hide();
    again.show();
    EXPECT_EQ(again.panel->Buddy, nullptr);
    EXPECT_EQ(again.panel->Kind, TTestPanel::skSquare);
    EXPECT_EQ(again.panel->Count, 0);
}

TEST(TFormStorage, CharactersWideNumbersVariantsAndSinglesComeBack) {
    qtTestApp();
    TRegistryStore store(":memory:");
    auto make = [&store](const char* section) {
        auto form = std::make_unique<TTestForm>(store);
        form->storage->IniSection = section;
        form->storage->StoredProps = {"panel.Letter", "panel.Glyph", "panel.Huge", "panel.Big", "panel.Any", "panel.Scale"};
        return form;
    };
    // Blank characters are values of their own; an unassigned variant is an empty text.
    for (const char letter : {'\xE9', ' '}) {
        const QVariant any = letter == ' ' ? QVariant() : QVariant(42);
        {
            auto form = make("Form");
            form->show();
            TTestPanel& p = *form->panel;
            std::tie(p.Letter, p.Glyph, p.Huge, p.Big, p.Any, p.Scale) =
                std::tuple(letter, QChar(letter == ' ' ? 0x20 : 0x20AC), 18446744073709551615ull, -5000000000ll, any, 0.1f);
            EXPECT_TRUE(form->close());
        }
        const std::pair<const char*, const char*> texts[] = {
            {"panel_Letter", letter == ' ' ? " " : "\xC3\xA9"}, {"panel_Glyph", letter == ' ' ? " " : "\xE2\x82\xAC"},
            {"panel_Huge", "18446744073709551615"}, {"panel_Big", "-5000000000"},
            {"panel_Any", letter == ' ' ? "" : "42"}, {"panel_Scale", "0.1"}};
        for (const auto& [name, text] : texts) EXPECT_EQ(value(store, name), text) << name;
        auto again = make("Form");
        again->show();
        const TTestPanel& p = *again->panel;
        EXPECT_EQ(std::tie(p.Letter, p.Huge, p.Big, p.Scale), std::tuple(letter, 18446744073709551615ull, -5000000000ll, 0.1f));
        EXPECT_EQ(p.Glyph, QChar(letter == ' ' ? 0x20 : 0x20AC));
        EXPECT_EQ(p.Any.toString(), any.toString());
        again->storage->Active = false;
    }
    // Texts a property cannot take; with nothing stored, a variant keeps its value and type.
    RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Fresh", "panel_Letter", "\xE2\x82\xAC");
    RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Fresh", "panel_Huge", "-1");
    auto form = make("Fresh");
    std::tie(form->panel->Any, form->panel->Huge) = std::tuple(QVariant(7), 5ull);
    form->show();
    EXPECT_EQ(std::tie(form->panel->Any, form->panel->Letter, form->panel->Huge), std::tuple(QVariant(7), 'a', 0ull));
    form->storage->Active = false;
}

TEST(TFormPlacement, LinksSaveAndRestoreWithThePlacementAndGoInEitherOrder) {
    qtTestApp();
    TRegistryStore store(":memory:");
    std::string kept = "linked";
    auto link = std::make_unique<TPlacementLink>();
    link->OnSave = [&](IPlacementStorage& st, const std::string& section) { st.WriteString(section, "Link", kept); };
    link->OnRestore = [&](IPlacementStorage& st, const std::string& section) { kept = st.ReadString(section, "Link", "-"); };
    {
        TTestForm form(store);
        form.storage->RegistryRoot = PlacementRootKey(prDynData);
        link->SetController(form.storage);
        form.show();
        EXPECT_EQ(kept, "-");  // restored before anything was saved
        kept = "linked";
        EXPECT_TRUE(form.close());
        EXPECT_EQ(RegReadString(store, HKEY_DYN_DATA, "Software\\Test\\Form", "Link", "-"), "linked");
        form.show();
        EXPECT_EQ(kept, "linked");
        form.storage->Active = false;
    }
    EXPECT_EQ(link->Controller(), nullptr);  // the placement went first
    TTestForm form(store);
    link->SetController(form.storage);
    link.reset();  // the link goes first
    EXPECT_EQ(form.storage->LinkCount(), 0);
    form.storage->Active = false;
}

TEST(TRxWindowHook, AFailingHandlerGoesToTheErrorHandlerAndTheEventGoesOn) {
    qtTestApp();
    QWidget widget;
    std::vector<std::string> seen;
    auto hook = [&](const std::string& name, bool fails) {
        auto h = std::make_unique<TRxWindowHook>();
        h->BeforeMessage = h->AfterMessage = [&seen, name, fails](TRxWindowHook&, QEvent* e, bool&) {
            if (e->type() != QEvent::User) return;
            seen.push_back(name);
            if (fails) throw std::runtime_error(name);
        };
        h->OnError = [&seen](std::exception_ptr) { seen.push_back("error"); };
        h->SetWinControl(&widget);
        return h;
    };
    auto quiet = hook("quiet", false), failing = hook("failing", true);
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&widget, &e);
    EXPECT_EQ(seen, (std::vector<std::string>{"failing", "error", "quiet", "failing", "error", "quiet"}));
}

TEST(TFormStorage, FormEventsDecideWhenStateIsSaved) {
    qtTestApp();
    TRegistryStore store(":memory:");
    {
        TTestForm refused(store);
        refused.show();
        refused.allowClose = false;
        EXPECT_FALSE(refused.close());
        EXPECT_EQ(value(store, "FormVersion"), "-");
        refused.storage->Active = false;  // nor at its end
    }
    EXPECT_EQ(value(store, "FormVersion"), "-");
    {
        TTestForm neverShown(store);
        neverShown.storage->Save();  // active and never restored: nothing
        EXPECT_EQ(value(store, "NormPos"), "-");
        neverShown.storage->Active = false;
        neverShown.storage->Save();  // inactive: always
        EXPECT_EQ(RegReadInteger(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "Visible", 5), 0);
    }
    {
        TTestForm goneWithoutClose(store);
        goneWithoutClose.show();
        goneWithoutClose.panel->Count = 3;
    }
    EXPECT_EQ(value(store, "panel_Count"), "3");
    EXPECT_EQ(RegReadInteger(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "Visible", 5), 1);
    TTestForm newer(store);
    newer.storage->Version = 2;
    newer.show();  // the stored version 0 is older: nothing restored
    EXPECT_EQ(newer.panel->Count, 0);
    newer.panel->Count = 9;
    EXPECT_TRUE(newer.close());
    EXPECT_EQ(value(store, "panel_Count"), "9");
    EXPECT_EQ(RegReadInteger(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "FormVersion", 0), 2);
}

TEST(TFormStorage, ADialogSavesWhenItEndsAndAnIniFileServesAsWell) {
    qtTestApp();
    TempDir dir;
    TRegistryStore unused(":memory:");
    auto make = [&] {
        auto* dialog = new QDialog;
        auto* combo = new QComboBox(dialog);
        combo->setObjectName("cbText");
        auto* storage = new TFormStorage(dialog);
        storage->IniFileName = dir / "form.ini";
        storage->IniSection = "Find";
        storage->Options = 0;
        storage->StoredProps = {"cbText.Items"};
        storage->Attach();
        return std::make_pair(dialog, combo);
    };
    auto [first, combo] = make();
    first->show();
    combo->addItems({"'quoted'", "b"});
    first->reject();
    delete first;
    auto [second, again] = make();
    second->show();
    EXPECT_EQ(again->count(), 2);
    EXPECT_EQ(again->itemText(0), "'quoted'");
    delete second;
    EXPECT_EQ(TIniFile(dir / "form.ini").ReadString("Find.cbText_Items", "Count", ""), "2");
}

namespace {
// A form with a font, a collection and values that have no text.
struct TKindsForm : QWidget {
    TFormStorage* storage;
    TTestPanel* panel;
    QLabel* label;
    QTreeWidget* tree;
    explicit TKindsForm(TRegistryStore& store) {
        setObjectName("KindsForm");
        panel = new TTestPanel(this);
        panel->setObjectName("panel");
        label = new QLabel("x", this);
        label->setObjectName("Label1");
        tree = new QTreeWidget(this);
        tree->setObjectName("tvIcons");
        storage = new TFormStorage(this);
        storage->SetRegistryStore(store);
        storage->UseRegistry = true;
        storage->IniFileName = "Software\\Test";
        storage->IniSection = "Kinds";
        storage->Options = 0;
        storage->StoredProps = {"panel.Kind", "panel.Caption", "panel.Count", "Label1.Font", "tvIcons.Columns"};
        storage->Attach();
    }
    ~TKindsForm() override { storage->FormDestroy(); }
};
}  // namespace

TEST(TFormStorage, FontsCollectionsAndEmptyTextsAreStoredByTheirKinds) {
    qtTestApp();
    TRegistryStore store(":memory:");
    const char* key = "Software\\Test\\Kinds";
    {
        TKindsForm form(store);
        form.show();
        form.panel->Kind = TTestPanel::Shape(3);  // a value without a name
        form.panel->Caption = "";
        form.panel->Count = 0;
        QFont font("DejaVu Sans", 13);
        font.setBold(true);
        font.setItalic(true);
        form.label->setFont(font);
        form.tree->setColumnCount(3);
        form.tree->setHeaderLabels({"Name", "Size", "Colours"});
        form.tree->setColumnWidth(0, 120);
        form.tree->setColumnWidth(1, 40);
        form.storage->Save();
    }
    // The identifiers and texts each kind leaves ("-": nothing written).
    const std::pair<const char*, const char*> section[] = {
        {"panel_Kind", "-"},              // no text for a non-string kind: nothing
        {"panel_Caption", ""},            // an empty string is written
        {"panel_Count", "0"},             // a number always is
        {"Label1_Font", "-"},             // an object writes only its own properties
        {"Label1_FontName", "DejaVu Sans"},
        {"Label1_FontSize", "13"},
        {"Label1_FontStyle", "[fsBold,fsItalic]"},
        {"Label1_FontPitch", "fpDefault"},
        {"tvIcons_Columns", "-"},
        {"tvIcons_Columns.Count", "3"},
    };
    for (const auto& [name, text] : section) EXPECT_EQ(RegReadString(store, HKEY_CURRENT_USER, key, name, "-"), text) << name;
    const std::string items = std::string(key) + ".tvIcons_Columns";
    const std::pair<const char*, const char*> columns[] = {
        {"Item0_Width", "120"}, {"Item0_Caption", "Name"}, {"Item1_Width", "40"}, {"Item2_Caption", "Colours"}};
    for (const auto& [name, text] : columns)
        EXPECT_EQ(RegReadString(store, HKEY_CURRENT_USER, items, name, "-"), text) << name;

    // Back into a form whose tree has another number of columns: they are made anew.
    RegWriteString(store, HKEY_CURRENT_USER, key, "panel_Kind", "skSquare");  // never read: it has no text now
    TKindsForm again(store);
    again.panel->Kind = TTestPanel::Shape(3);
    again.panel->Caption = "before";
    again.tree->setColumnCount(1);
    again.show();
    EXPECT_EQ(again.panel->Kind, TTestPanel::Shape(3));
    EXPECT_EQ(again.panel->Caption, "");
    EXPECT_EQ(again.label->font().family(), "DejaVu Sans");
    EXPECT_EQ(again.label->font().pointSize(), 13);
    EXPECT_TRUE(again.label->font().bold());
    EXPECT_TRUE(again.label->font().italic());
    EXPECT_FALSE(again.label->font().underline());
    ASSERT_EQ(again.tree->columnCount(), 3);
    EXPECT_EQ(again.tree->columnWidth(0), 120);
    EXPECT_EQ(again.tree->columnWidth(1), 40);
    EXPECT_EQ(again.tree->headerItem()->text(2), "Colours");

    // A damaged count never makes more columns than a collection may hold, nor raises.
    RegWriteString(store, HKEY_CURRENT_USER, key, "tvIcons_Columns.Count", "99999999999");
    again.hide();
    again.show();
    EXPECT_LE(again.tree->columnCount(), 10000);
    RegWriteString(store, HKEY_CURRENT_USER, key, "tvIcons_Columns.Count", "many");
    again.tree->setColumnCount(2);
    again.hide();
    again.show();
    EXPECT_EQ(again.tree->columnCount(), 2);  // not a number: the count it has
}

TEST(TFormStorage, AReferenceToAnotherFormsComponentNamesThatForm) {
    qtTestApp();
    TRegistryStore store(":memory:");
    auto other = std::make_unique<QWidget>();
    other->setObjectName("OtherForm");
    auto* target = new QWidget(other.get());
    target->setObjectName("pTarget");
    {
        TTestForm form(store);
        form.show();
        form.panel->Buddy = target;
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(value(store, "panel_Buddy"), "OtherForm.pTarget");
    struct Case {
        const char* stored;
        bool otherThere;
        QWidget* expected;  // nullptr with keep: unchanged
        bool keep;
    } cases[] = {
        {"OtherForm.pTarget", true, target, false},
        {"otherform . pTarget", true, target, false},  // any case, blanks around
        {"OtherForm.pMissing", true, nullptr, false},  // the form is there, the component is not
        {"NoSuchForm.pTarget", true, nullptr, true},   // no such form: left as it was
    };
    for (const Case& c : cases) {
        RegWriteString(store, HKEY_CURRENT_USER, "Software\\Test\\Form", "panel_Buddy", c.stored);
        TTestForm form(store);
        QWidget sentinel;
        form.panel->Buddy = &sentinel;
        form.show();
        EXPECT_EQ(form.panel->Buddy, c.keep ? &sentinel : c.expected) << c.stored;
        form.storage->Active = false;
    }
    // A form without a name is known by its class name without its leading "T".
    other->setObjectName("");
    TTestPanel unnamed;
    auto* inner = new QWidget(&unnamed);
    inner->setObjectName("inner");
    EXPECT_EQ(ComponentReference(other.get(), inner), "TestPanel.inner");
    EXPECT_EQ(ComponentReference(&unnamed, inner), "inner");
}

TEST(TFormPlacement, AHookKeepsTheSizeLimitsWhileThereAreAny) {
    qtTestApp();
    TRegistryStore store(":memory:");
    QCoreApplication::processEvents();
    const int hooksBefore = TControlHook::Count();
    TTestForm form(store);
    EXPECT_FALSE(form.storage->Hook().Active());  // no limits, no hook
    EXPECT_EQ(TControlHook::Count(), hooksBefore);

    struct Case {
        TWinMinMaxInfo limits;
        QSize asked, got;
    } cases[] = {
        {{.MinTrackHeight = 150, .MinTrackWidth = 250}, {100, 100}, {250, 150}},
        {{.MaxTrackHeight = 220, .MaxTrackWidth = 320}, {900, 900}, {320, 220}},
        {{.MaxTrackWidth = 400, .MinTrackWidth = 380}, {100, 120}, {380, 120}},  // the height is free
    };
    form.show();
    for (const Case& c : cases) {
        form.storage->SetMinMaxInfo(c.limits);
        EXPECT_TRUE(form.storage->Hook().Active());
        EXPECT_EQ(TControlHook::Count(), hooksBefore + 1);
        form.resize(c.asked);
        EXPECT_EQ(form.size(), c.got) << c.asked.width() << "x" << c.asked.height();
    }
    form.storage->SetMinMaxInfo({});
    QCoreApplication::processEvents();  // the form's control hook goes after the current event
    EXPECT_EQ(TControlHook::Count(), hooksBefore);
    form.resize(90, 900);
    EXPECT_EQ(form.size(), QSize(90, 900));  // its own limits are back
}

TEST(TFormPlacement, PreventResizeKeepsTheShownSizeAndTheFormsFiltersSeeItsEvents) {
    qtTestApp();
    TRegistryStore store(":memory:");
    int restores = 0;
    {
        TTestForm first(store);
        first.resize(333, 222);
        first.show();
        first.storage->Save();
    }
    TTestForm form(store);
    form.storage->OnRestorePlacement = [&] { ++restores; };
    form.storage->SetPreventResize(true);
    EXPECT_TRUE(form.storage->Hook().Active());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.show();
    // The placement's own watch on the form, there before the hook, still restores on show.
    EXPECT_EQ(restores, 1);
    const QSize shown = form.size();
    form.resize(shown + QSize(50, 50));
    EXPECT_EQ(form.size(), shown);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    form.storage->SetPreventResize(false);
    EXPECT_FALSE(form.storage->Hook().Active());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.resize(shown + QSize(50, 50));
    EXPECT_EQ(form.size(), shown + QSize(50, 50));
}

#include "FormStorageTest.moc"
