#pragma once
// A drop-down list of the font families the font database knows, filtered by the picker's
// options, each marked as a scalable (TrueType-like) or device font and optionally shown in
// its own face. The list follows fonts added or removed while the control lives.
#include <QComboBox>

#include "controls/core/FontFilter.h"

namespace gs {

// A family name of the font database as the desktop's font dialogs show it: without the
// "[Foundry]" that tells families of several foundries apart.
QString FontFamilyName(const QString& databaseName);

// The family a text in `family` is drawn in: that family when it is installed (in the
// database's spelling), else the one the font matching of the desktop falls back to. A
// missing face is never shown as an empty choice: the face in use stands for it.
QString FontFaceInUse(const QString& family);

// The picker's kinds: an edit with a drop-down list, an edit over a list that always shows
// (an edit with its drop-down here), or a list alone.
enum class TOwnerDrawComboStyle { csDropDown, csSimple, csDropDownList };

class TFontComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TFontComboBox(QWidget* parent = nullptr);

    QString FontName() const { return currentText(); }
    // Selects the listed family of that name whatever its case (the text takes the listed
    // spelling); a name not listed leaves no selection and an empty text.
    void SetFontName(const QString& name);
    TFontListOptions Options() const { return options_; }
    void SetOptions(TFontListOptions options);
    // The scalable-only member of Options.
    bool TrueTypeOnly() const { return has(options_, TFontListOption::foTrueTypeOnly); }
    void SetTrueTypeOnly(bool on);
    TFontDevice Device() const { return device_; }
    void SetDevice(TFontDevice device);
    TOwnerDrawComboStyle Style() const { return style_; }
    void SetStyle(TOwnerDrawComboStyle style);
    bool UseFonts() const { return useFonts_; }
    void SetUseFonts(bool on);

    // Fills the list again, keeping the chosen family when it is still listed.
    void Reload();
    // What the font database says of a family, as the filters read it.
    static TFontFacts FactsOf(const QString& family);

signals:
    void OnChange();

private:
    void fill();

    void textTyped(const QString& text);

    TFontListOptions options_ = 0;
    TFontDevice device_ = TFontDevice::fdScreen;
    TOwnerDrawComboStyle style_ = TOwnerDrawComboStyle::csDropDownList;
    bool useFonts_ = false;
    bool suppress_ = false;
};

}  // namespace gs
