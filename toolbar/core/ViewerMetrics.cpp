#include "toolbar/core/ViewerMetrics.h"

#include <algorithm>

namespace tb {

namespace {

bool has(const TTBCustomItem& item, TTBItemOptions option) { return (item.OptionsInForce() & option) != 0; }

bool isSplit(const TTBCustomItem& item) { return (item.ItemStyle() & tbstCombo) != 0; }

// A default item's caption is bold, and measured so.
int captionWidth(const TTextMetrics& m, const TTBCustomItem& item) {
    const TextMeasurer& measure = has(item, tboDefault) && m.boldWidth ? m.boldWidth : m.width;
    return measure ? measure(StripAccelerators(DisplayCaption(item))) : 0;
}

constexpr int kButtonPadding = 6;
constexpr int kImageColumnPadding = 3;

}  // namespace

bool ButtonLook(const TTBCustomItem& item, const TViewerPlace& place) {
    return place.toolbarView || has(item, tboToolbarStyle);
}

bool ButtonSized(const TTBCustomItem& item, const TViewerPlace& place) {
    return place.toolbarView || has(item, tboToolbarSize);
}

bool TextTurned(const TTBCustomItem& item, const TViewerPlace& place) {
    return place.orientation == TTBViewOrientation::Vertical && !has(item, tboNoRotation) &&
           !has(item, tboImageAboveCaption);
}

bool CaptionVisible(const TTBCustomItem& item, const TViewerPlace& place) {
    using M = TTBItemDisplayMode;
    if (DisplayCaption(item).empty()) return false;
    return !ButtonSized(item, place) || item.ImageIndex() < 0 || item.DisplayMode() == M::nbdmTextOnly ||
           item.DisplayMode() == M::nbdmImageAndText || has(item, tboImageAboveCaption);
}

bool ImageVisible(const TTBCustomItem& item, const TViewerPlace& place) {
    using M = TTBItemDisplayMode;
    if (item.ImageIndex() < 0) return false;
    M mode = item.DisplayMode();
    return mode == M::nbdmDefault || mode == M::nbdmImageAndText ||
           (ButtonLook(item, place) && mode == M::nbdmTextOnlyInMenus);
}

std::string DisplayCaption(const TTBCustomItem& item) { return item.Caption().substr(0, item.Caption().find('\t')); }

TPoint MeasureSeparator(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& m) {
    if (ButtonLook(item, place)) return {6, 6};
    return {0, (m.fontHeight * 2 + 2) / 3};
}

TPoint MeasureItem(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& m,
                   std::optional<TImageSize> images) {
    TPoint size;
    if (item.ItemStyle() & tbstSeparator) return MeasureSeparator(item, place, m);
    const bool button = ButtonLook(item, place);
    const bool turned = TextTurned(item, place);
    if (button) size = {kButtonPadding, kButtonPadding};
    if (!button || CaptionVisible(item, place)) {
        int text = captionWidth(m, item) + (button ? kButtonPadding : 0);
        if (turned) {
            size.x += m.fontHeight;
            size.y += text;
        } else {
            size.y += m.fontHeight;
            size.x += text;
        }
    }
    if (button && ImageVisible(item, place) && images) {
        if (turned || has(item, tboImageAboveCaption)) {
            size.y += images->height;
            size.x = std::max(size.x, images->width + 7);
        } else {
            size.x += images->width + 1;
            size.y = std::max(size.y, images->height + kButtonPadding);
        }
    }
    if (button && (item.ItemStyle() & tbstSubmenu)) {
        if (isSplit(item)) size.x += kSplitArrowWidth;
        else if (has(item, tboDropdownArrow))
            (place.orientation == TTBViewOrientation::Vertical ? size.y : size.x) += kDropdownArrowWidth;
    }
    if (!button) {
        size.y = m.fontHeight + m.externalLeading + kMenuRowPadding;
        int column = size.y;
        if (images) {
            size.y = std::max(size.y, images->height + kImageColumnPadding);
            column = MulDiv(images->width + kImageColumnPadding, size.y, images->height + kImageColumnPadding);
        }
        size.x += column + 6;
        std::string shortcut = item.ShortcutDisplayText();
        if (!shortcut.empty()) size.x += (m.width ? m.width(shortcut) : 0) + size.y - 6;
        size.x += size.y;
    }
    return size;
}

bool InButtonPart(const TTBCustomItem& item, const TViewerPlace& place, int width, int x, const TTextMetrics& m) {
    if (isSplit(item)) return x < width - (ButtonLook(item, place) ? kSplitArrowWidth : m.menuCheckWidth);
    return !(item.ItemStyle() & tbstSubmenu);
}

}  // namespace tb
