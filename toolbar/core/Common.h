#pragma once
// Small routines the item, view, dock and toolbar code share: accelerator characters,
// prefix-stripped text widths, rounding, the list sort, monitor lookup among screen
// rectangles. The platform-facing settings read from the registry are MenuSettings.h.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

struct TPoint {
    int x = 0, y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(TPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Captions are UTF-8. The code point that starts at text[i]; i moves past it. A byte that
// starts no well-formed sequence stands for itself (as Latin-1), so no text is unreadable.
char32_t NextCodePoint(std::string_view text, std::size_t& i);
// The code point after the last single `&` of a caption (`&&` is a literal ampersand);
// 0 when there is none. An `&` that ends the text ends the scan.
char32_t AcceleratorCharOf(std::string_view text);
// Unicode's simple case folding (one code point to one; scripts/gen_casefold.py makes the
// table): typed characters and accelerators are compared through it, so "É" reaches "&Été"
// as "é" does, and a final sigma reaches a sigma.
char32_t FoldCase(char32_t c);
// The caption as shown: single `&` removed, `&&` left as one `&`.
std::string StripAccelerators(std::string_view text);
// Index, in characters (code points) of StripAccelerators(text), of the accelerator; -1
// when none.
int AcceleratorPosition(std::string_view text);

// Measures shown text in the current menu font (pixels); the ui injects Qt's metrics.
using TextMeasurer = std::function<int(std::string_view)>;
int TextWidthOf(const TextMeasurer& measure, std::string_view text, bool prefix);

// A / B rounded away from zero when the division is not exact; 0 when B is 0.
int DivideAwayFromZero(int a, int b);
// a * b / c rounded to the nearest (halves away from zero) without overflow; -1 when c is 0
// or the result does not fit.
int MulDiv(int a, int b, int c);

// Quicksort with the middle element as pivot, in place, the order of equal keys being
// what that algorithm gives. Compare(a, b) answers <0, 0 or >0. The scans are bounded by
// the range, so a comparison that contradicts itself never reads outside the list.
template <class T, class Compare>
void SortList(std::vector<T>& list, Compare compare) {
    if (list.size() < 2) return;
    std::function<void(std::ptrdiff_t, std::ptrdiff_t)> sort = [&](std::ptrdiff_t l, std::ptrdiff_t r) {
        std::ptrdiff_t i;
        do {
            i = l;
            std::ptrdiff_t j = r;
            T pivot = list[static_cast<std::size_t>((l + r) / 2)];
            do {
                while (i < r && compare(list[static_cast<std::size_t>(i)], pivot) < 0) ++i;
                while (j > l && compare(list[static_cast<std::size_t>(j)], pivot) > 0) --j;
                if (i <= j) {
                    std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j) sort(l, j);
            l = i;
        } while (i < r);
    };
    sort(0, static_cast<std::ptrdiff_t>(list.size()) - 1);
}

// Lists made on demand: adds an item once (true when added); removes it, dropping the
// list when it becomes empty.
template <class T>
bool ListAddOnce(std::unique_ptr<std::vector<T>>& list, const T& item) {
    if (!list) list = std::make_unique<std::vector<T>>();
    if (std::find(list->begin(), list->end(), item) != list->end()) return false;
    list->push_back(item);
    return true;
}
template <class T>
void ListRemoveAndFree(std::unique_ptr<std::vector<T>>& list, const T& item) {
    if (!list) return;
    list->erase(std::remove(list->begin(), list->end(), item), list->end());
    if (list->empty()) list.reset();
}

// One screen: its whole area and its work area (without panels), in desktop coordinates.
struct TMonitor {
    TRect area;
    TRect workArea;
};
// The monitor a rectangle or point belongs to: the one it overlaps most (a point: the one
// holding it), else the nearest; the first monitor is the primary one and answers when
// the list has a single entry. nullopt for an empty list.
std::optional<TRect> MonitorAreaOfRect(const std::vector<TMonitor>& monitors, const TRect& rect, bool workArea);
std::optional<TRect> MonitorAreaOfPoint(const std::vector<TMonitor>& monitors, TPoint point, bool workArea);

}  // namespace tb
