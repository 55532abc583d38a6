#pragma once
// A speed button's pictures per state, kept in lists of one picture size that all the
// buttons of the program share: a toolbar of twenty 16 x 16 buttons holds one list, and
// a list goes when its last picture does.
#include <QImage>
#include <QList>

#include <array>
#include <memory>
#include <vector>

#include "controls/core/ButtonFace.h"
#include "controls/core/GlyphSlots.h"

namespace gs {

// Pictures of one size; a freed slot is given to the next picture added.
class TGlyphList {
public:
    TGlyphList(int width, int height) : width_(width), height_(height) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Add(const QImage& image);
    void Delete(int index);
    // The picture of a used slot; a null one otherwise.
    QImage Image(int index) const;
    int Count() const { return slots_.Count(); }

private:
    int width_, height_;
    TGlyphSlots slots_;
    std::vector<QImage> images_;
};

// The program's one cache of glyph lists; it exists while some glyph list is in use.
class TGlyphCache {
public:
    // The cache, made when there is none.
    static TGlyphCache& Acquire();
    // The cache, or null when none exists.
    static TGlyphCache* Current();
    // The list of that size added last, or a new one.
    TGlyphList* GetList(int width, int height);
    // A list without pictures leaves the cache, and an empty cache goes.
    static void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int Lists() const { return int(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// An image list's picture to show instead of the strip.
struct TImageListGlyph {
    std::shared_ptr<const QList<QImage>> Images;
    int Index = -1;
    bool Valid() const { return Images && Index >= 0 && Index < Images->size(); }
};

// The pictures of one button, made from its strip when first asked and kept in the cache.
class TRxButtonGlyph {
public:
    TRxButtonGlyph() = default;
    TRxButtonGlyph(const TRxButtonGlyph&) = delete;
    TRxButtonGlyph& operator=(const TRxButtonGlyph&) = delete;
    ~TRxButtonGlyph();

    const QImage& Strip() const { return strip_; }
    // A strip a whole number of pictures wide sets their count (1 past five).
    void SetStrip(const QImage& strip, QRgb transparent);
    QRgb TransparentColor() const { return transparent_; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    // The picture of a state; null for an empty strip.
    QImage GlyphImage(TButtonState state, QRgb face, QRgb highlight, QRgb shadow);
    // The image list's picture in a state: disabled embossed, inactive grey and kept.
    QImage ImageListImage(const TImageListGlyph& glyph, TButtonState state, QRgb face, QRgb highlight, QRgb shadow);
    // Drops the kept pictures (the system colours changed, or the strip).
    void Invalidate();

private:
    int keep(const QImage& image);

    QImage strip_;
    QRgb transparent_ = 0xFFFF00FF;
    int numGlyphs_ = 1;
    TGlyphList* list_ = nullptr;
    std::array<int, 5> indexes_{-1, -1, -1, -1, -1};
    // The grey image list picture kept, in a list of the image list's size, and which
    // picture it was made from.
    TGlyphList* greyList_ = nullptr;
    int greyIndex_ = -1;
    const void* greyOf_ = nullptr;
    int greyOfIndex_ = -1;
};

}  // namespace gs
