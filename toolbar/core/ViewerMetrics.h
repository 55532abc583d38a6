#pragma once
// How big an item is in a view, from measured inputs only (font height, external leading,
// text widths, image size), so that sizes are the same with any renderer and testable
// without one. The views measure through these; painting uses the same derived tests.
#include <optional>
#include <string>

#include "toolbar/core/Common.h"
#include "toolbar/core/Item.h"

namespace tb {

enum class TTBViewOrientation : std::uint8_t { Horizontal = 0, Vertical = 1, Floating = 2 };

// Where a viewer is: a toolbar (or menu bar) view or a popup, and which way it runs.
struct TViewerPlace {
    bool toolbarView = false;
    TTBViewOrientation orientation = TTBViewOrientation::Horizontal;
};

struct TTextMetrics {
    int fontHeight = 13;
    int externalLeading = 0;
    TextMeasurer width;  // of text with the accelerator marks already removed
    // The system menu-check width (split menu items, submenu arrows).
    int menuCheckWidth = 13;
    // Widths in the bold face default items show in; `width` when not given.
    TextMeasurer boldWidth = {};
};

struct TImageSize {
    int width = 16, height = 16;
};

bool ButtonLook(const TTBCustomItem& item, const TViewerPlace& place);
bool ButtonSized(const TTBCustomItem& item, const TViewerPlace& place);
bool TextTurned(const TTBCustomItem& item, const TViewerPlace& place);
bool CaptionVisible(const TTBCustomItem& item, const TViewerPlace& place);
bool ImageVisible(const TTBCustomItem& item, const TViewerPlace& place);
// The caption up to its first tab.
std::string DisplayCaption(const TTBCustomItem& item);

// Width and height of the item's cell; `images` is the size of the image list the item
// draws from, when it has one.
TPoint MeasureItem(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& metrics,
                   std::optional<TImageSize> images);

// A separator's cell: thin on toolbars, two thirds of a text line in menus.
TPoint MeasureSeparator(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& metrics);

// Whether X lies in the part of a cell `width` wide that clicks (not the arrow part).
bool InButtonPart(const TTBCustomItem& item, const TViewerPlace& place, int width, int x,
                  const TTextMetrics& metrics);

constexpr int kSplitArrowWidth = 11;  // the arrow part of a split button
constexpr int kDropdownArrowWidth = 8;
// A menu row is this much taller than a line of its text.
constexpr int kMenuRowPadding = 4;

}  // namespace tb
