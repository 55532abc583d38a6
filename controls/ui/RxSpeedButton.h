#pragma once
// A flat-capable button drawn by hand: a glyph strip with one picture per state (up,
// disabled, down, exclusive, inactive; the missing ones computed from the first), a caption
// laid out beside or under it, grouping with other speed buttons of the same parent, a
// drop-down menu with its mark, and auto-repeat while held.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

#include "controls/core/ButtonFace.h"

class QMenu;
class QTimer;

namespace gs {

enum class TDropDownMenuPos { dmpBottom, dmpRight };

class TRxSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TRxSpeedButton(QWidget* parent = nullptr);

    QString Caption;
    TButtonLayout Layout = TButtonLayout::blGlyphTop;
    int Margin = -1;
    int Spacing = 1;
    bool Flat = false;
    bool GrayedInactive = true;
    bool MarkDropDown = true;
    bool AllowTimer = false;
    int InitPause = 500;
    int RepeatInterval = 100;
    TDropDownMenuPos MenuPosition = TDropDownMenuPos::dmpBottom;
    QPointer<QMenu> DropDownMenu;

    // The strip: NumGlyphs pictures side by side; the colour of its bottom-left pixel is
    // transparent.
    void SetGlyph(const QImage& strip);
    const QImage& Glyph() const { return strip_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);

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
    bool MouseInControl() const { return mouseIn_; }

    void Click();

signals:
    void clicked();
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void groupPressed();
    void setState(TButtonState s);
    void popupMenu();

    QImage strip_;
    int numGlyphs_ = 1;
    mutable std::array<std::optional<QImage>, 5> cache_;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool dragging_ = false;
    bool mouseIn_ = false;
    TButtonState state_ = TButtonState::bsUp;
    QTimer* repeat_ = nullptr;
};

}  // namespace gs
