#include "controls/ui/FontComboBox.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QAbstractItemView>
#include <algorithm>

namespace gs {

namespace {

// The mark, the entry's margins and the list's frame beside a name in the drop-down list.
constexpr int kListChrome = 24;

// The marks beside an entry, drawn here: "T" twice for scalable outline fonts, a small
// printer-like box for device fonts.
QIcon markFor(int fontType) {
    QPixmap pm(14, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (fontType & kTrueTypeFontType) {
        QFont f("DejaVu Sans", 7, QFont::Bold);
        p.setFont(f);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawText(QRect(0, 0, 9, 11), Qt::AlignLeft | Qt::AlignTop, "T");
        p.setPen(QColor(0x20, 0x40, 0xA0));
        p.drawText(QRect(4, 2, 10, 10), Qt::AlignLeft | Qt::AlignTop, "T");
    } else if (fontType & kDeviceFontType) {
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(1, 3, 11, 6);
        p.fillRect(3, 1, 7, 2, QColor(0x80, 0x80, 0x80));
    }
    return QIcon(pm);
}

}  // namespace

QString FontFamilyName(const QString& databaseName) {
    // The database tells families of several foundries apart as "Family [Foundry]"; the
    // desktop's font dialogs, and font matching by name, know the family alone.
    if (!databaseName.endsWith(QLatin1Char(']'))) return databaseName;
    const qsizetype open = databaseName.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? databaseName.left(open) : databaseName;
}

QString FontFaceInUse(const QString& family) {
    for (const QString& installed : QFontDatabase::families())
        if (FontFamilyName(installed).compare(family, Qt::CaseInsensitive) == 0) return FontFamilyName(installed);
    return FontFamilyName(QFontInfo(QFont(family)).family());
}

TFontComboBox::TFontComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] {
        if (!suppress_) emit OnChange();
    });
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, &TFontComboBox::Reload);
    fill();
}

TFontFacts TFontComboBox::FactsOf(const QString& family) {
    TFontFacts facts;
    const auto systems = QFontDatabase::writingSystems(family);
    if (systems.contains(QFontDatabase::Symbol) || systems.isEmpty()) facts.CharSet = kSymbolCharset;
    else if (!systems.contains(QFontDatabase::Latin)) facts.CharSet = 1;  // some other script only
    facts.FontType = QFontDatabase::isSmoothlyScalable(family) ? kTrueTypeFontType
                                                               : (QFontDatabase::isBitmapScalable(family) ? kRasterFontType : kDeviceFontType);
    facts.Pitch = QFontDatabase::isFixedPitch(family) ? kFixedPitchBit : 0;
    return facts;
}

void TFontComboBox::fill() {
    clear();
    QStringList seen;
    for (const QString& name : QFontDatabase::families()) {
        const QString family = FontFamilyName(name);
        if (seen.contains(family)) continue;
        const TFontFacts facts = FactsOf(family);
        if (!FontOnDevice(device_, facts) || !FontPassesOptions(options_, facts)) continue;
        seen << family;
    }
    seen.sort(Qt::CaseInsensitive);
    int widest = 0;
    for (const QString& family : seen) {
        const TFontFacts facts = FactsOf(family);
        const int type = facts.FontType | (facts.CharSet != kSymbolCharset ? kNotSymbolMark : 0);
        addItem(markFor(type), family, type);
        QFont face = font();
        if (useFonts_ && (type & kNotSymbolMark)) {
            face = QFont(family, font().pointSize());
            setItemData(count() - 1, face, Qt::FontRole);
        }
        widest = std::max(widest, QFontMetrics(face).horizontalAdvance(family));
    }
    // The drop-down list is as wide as its longest name needs, past the box's own width.
    const int chrome = iconSize().width() + kListChrome + view()->verticalScrollBar()->sizeHint().width();
    view()->setMinimumWidth(widest + chrome);
}

void TFontComboBox::Reload() {
    const QString name = FontName();
    suppress_ = true;
    fill();
    SetFontName(name);
    suppress_ = false;
    if (FontName() != name) emit OnChange();
}

void TFontComboBox::SetFontName(const QString& name) {
    if (name == currentText() && currentIndex() >= 0) return;
    const int index = findText(name, Qt::MatchFixedString);  // without regard to case
    setCurrentIndex(index);
    if (index < 0 && isEditable()) setEditText(name);  // an edit keeps a name it does not list
    if (!suppress_) emit OnChange();
}

void TFontComboBox::textTyped(const QString& text) {
    // A typed name that is exactly a listed family chooses it.
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 || index == currentIndex()) return;
    setCurrentIndex(index);
    if (!suppress_) emit OnChange();
}

void TFontComboBox::SetTrueTypeOnly(bool on) {
    SetOptions(on ? TFontListOptions(options_ | std::uint8_t(TFontListOption::foTrueTypeOnly))
                  : TFontListOptions(options_ & ~std::uint8_t(TFontListOption::foTrueTypeOnly)));
}

void TFontComboBox::SetDevice(TFontDevice device) {
    if (device == device_) return;
    device_ = device;
    Reload();
}

void TFontComboBox::SetStyle(TOwnerDrawComboStyle style) {
    if (style == style_) return;
    style_ = style;
    const QString name = FontName();
    const bool editable = style != TOwnerDrawComboStyle::csDropDownList;
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);  // typing never adds a family
        setCompleter(nullptr);                 // nor completes one: the text is what was typed
        connect(lineEdit(), &QLineEdit::textEdited, this, &TFontComboBox::textTyped, Qt::UniqueConnection);
    }
    suppress_ = true;
    SetFontName(name);
    suppress_ = false;
}

void TFontComboBox::SetOptions(TFontListOptions options) {
    if (options == options_) return;
    options_ = options;
    Reload();
}

void TFontComboBox::SetUseFonts(bool on) {
    if (on == useFonts_) return;
    useFonts_ = on;
    Reload();
}

}  // namespace gs
