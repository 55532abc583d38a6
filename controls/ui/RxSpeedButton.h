#pragma once
// A flat-capable button drawn by hand: a glyph strip with one picture per state (up,
// disabled, down, exclusive, inactive; the missing ones computed from the first), a caption
// laid out beside or under it, grouping with other speed buttons of the same parent, a
// drop-down menu with its mark, and auto-repeat while held. A caption's accelerator (the
// letter after "&", with Alt) clicks it; it may follow an action (caption, hint, enabled
// and checked state, picture, and the action is what a click triggers).
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "controls/core/ButtonFace.h"
#include "controls/ui/ButtonGlyph.h"
#include "controls/ui/PaintedField.h"

class QAction;
class QTimer;

namespace gs {

// A menu that drops down from a speed button: which of its edges, or its middle, meets the
// point it opens at, and whether a press on the button opens it at all. A plain QMenu
// drops down left-aligned.
class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    using QMenu::QMenu;
    TPopupAlignment Alignment = TPopupAlignment::paLeft;
    bool AutoPopup = true;
};

class TRxSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TRxSpeedButton(QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The caption as the face shows it now: shortened line by line to the room left
    // beside or under the glyph unless WordWrap is on.
    QString ShownCaption() const;
    // Where the caption is drawn, in the button's coordinates (empty without caption).
    QRect CaptionRect() const;
    // The fields that show repaint the button when they change.
    TPaintedField<TButtonStyle> Style{this, TButtonStyle::bsAutoDetect};
    TPaintedField<bool> WordWrap{this, false};
    TPaintedField<TAlignment> Alignment{this, TAlignment::taCenter};
    // Shows the parent's background instead of the button face.
    TPaintedField<bool> Transparent{this, false};
    // Given to the dialog the button is on when it is clicked (0: none), which ends it.
    int ModalResult = 0;
    TPaintedField<TButtonLayout> Layout{this, TButtonLayout::blGlyphTop};
    // -1: automatic; below that is no margin and is ignored.
    TPaintedField<int> Margin{this, -1, [](const int& m) { return m >= -1; }};
    TPaintedField<int> Spacing{this, 1};
    TPaintedField<bool> Flat{this, false};
    TPaintedField<bool> GrayedInactive{this, true};
    TPaintedField<bool> MarkDropDown{this, true};
    bool AllowTimer = false;
    int InitPause = 500;
    int RepeatInterval = 100;
    TDropDownMenuPos MenuPosition = TDropDownMenuPos::dmpBottom;
    QPointer<QMenu> DropDownMenu;

    // The strip: NumGlyphs pictures side by side; the colour of its bottom-left pixel is
    // transparent.
    void SetGlyph(const QImage& strip);
    // The strip with its transparent colour given.
    void SetGlyph(const QImage& strip, QRgb transparent);
    const QImage& Glyph() const { return glyph_.Strip(); }
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int n);
    // A picture of an image list shown instead of the strip while `index` is one of its own.
    void SetImages(std::shared_ptr<const QList<QImage>> images, int index);
    int ImageIndex() const { return images_.Index; }

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on);
    bool Down() const { return down_; }
    void SetDown(bool down);

    TButtonState State() const { return state_; }
    // The state the face shows: inactive for a flat button without the mouse over it.
    TButtonState DrawnState() const;
    // The picture of a state, made from the strip once and kept.
    QImage GlyphImage(TButtonState state) const;
    // Whether the mouse is over the button as far as it knows, asked anew of the cursor on
    // showing, on enabling and on right-button presses.
    bool MouseInControl() const { return mouseIn_; }
    // Where the drop-down menu opens, in global coordinates, for a menu `menuWidth` wide.
    QPoint DropDownMenuPoint(int menuWidth) const;

    void Click();

    // The action the button follows; none unlinks it.
    QAction* Action() const { return action_; }
    void SetAction(QAction* action);

signals:
    void clicked();
    void OnMouseEnter();
    void OnMouseLeave();
    // A double click on a button that is down.
    void OnDblClick();

protected:
    // Draws the glyph, the caption and the drop-down mark into `r`.
    virtual void PaintContent(QPainter& p, const QRect& r, TButtonState drawn);
    bool Pressed() const { return state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive; }
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TCaptionPlace {
        QString text;
        QRect rect;
        int glyphX = 0, glyphY = 0;
    };
    TCaptionPlace placeCaption(const QRect& r, const QImage& glyph, bool mark) const;
    // The rectangle inside the frame; with a painter the frame is drawn as well.
    QRect contentRect(QPainter* p = nullptr) const;
    void drawFrame(QPainter* p, QRect& r, bool pressed) const;
    void actionChanged();
    int textFlags() const;
    void groupPressed();
    void setState(TButtonState s);
    // Whether the drop-down menu was shown.
    bool popupMenu();
    // Takes the mouse-in state from where the cursor is now.
    void checkMouseIn();
    void setMouseIn(bool in);

    QString caption_;
    int shortcut_ = 0;
    QPointer<QAction> action_;
    bool menuTracking_ = false;
    mutable TRxButtonGlyph glyph_;
    TImageListGlyph images_;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool dragging_ = false;
    bool mouseIn_ = false;
    TButtonState state_ = TButtonState::bsUp;
    QTimer* repeat_ = nullptr;
};

}  // namespace gs
