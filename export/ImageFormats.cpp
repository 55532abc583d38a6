#include "export/ImageFormats.h"

#include <cctype>
#include <iterator>
#include <stdexcept>
#include <string>

#include "iconlib/IconChoice.h"

namespace gs {

namespace {

using F = TBatchFormat;

// clang-format off
constexpr TImageFormat kFormats[] = {
    {F::bfICO, "ICO", "icon",
     {".ico", "SaveICO", "Select Icon Name...", "ico", "Icons (*.ico)|*.ico|All Files (*.*)|*.*"},
     nullptr, nullptr, -1},
    {F::bfBMP, "BMP", "bitmap",
     {".bmp", "SaveBMP", "Select Bitmap Name...", "bmp", "Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*"},
     nullptr, nullptr, -1},
    {F::bfGIF, "GIF", "image",
     {".gif", "SaveGIF", "Select Image Name...", "gif", "CompuServe GIF Images (*.gif)|*.gif|All Files (*.*)|*.*"},
     "CompuServe &GIF Image (*.GIF)", "GIF Image (*.GIF)", 0},
    {F::bfJPG, "JPG", "image",
     {".jpg", "SaveJPG", "Select Image Name...", "jpg", "JPEG Files (*.jpg; *.jpeg)|*.jpg;*.jpeg|All Files (*.*)|*.*"},
     "&JPEG Image File (*.JPG)", "JPEG Image (*.JPG)", 1},
    {F::bfWMF, "WMF", "image",
     {".wmf", "SaveWMF", "Select Image Name...", "wmf", "Windows Meta Files (*.wmf)|*.wmf|All Files (*.*)|*.*"},
     "&Windows Meta File (*.WMF)", "Windows Meta File (*.WMF)", 2},
    {F::bfTIF, "TIF", "image",
     {".tif", "SaveTIF", "Select Image Name...", "tif", "Tagged Image File Format (*.tif)|*.tif|All Files (*.*)|*.*"},
     "&Tagged Image File Format (*.TIF)", "Tagged Image File Format (*.TIF)", 3},
};
// clang-format on

constexpr int kFormatCount = int(std::size(kFormats));

// Rows are found by their position: the table must list the codes in order.
constexpr bool codesInOrder() {
    for (int i = 0; i < kFormatCount; ++i)
        if (int(kFormats[i].Code) != i) return false;
    return true;
}
static_assert(codesInOrder());

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::span<const TImageFormat> ImageFormats() { return kFormats; }

const TImageFormat* FindImageFormat(int code) {
    return code >= 0 && code < kFormatCount ? &kFormats[code] : nullptr;
}

const TImageFormat& ImageFormatOf(TBatchFormat format) {
    const TImageFormat* row = FindImageFormat(int(format));
    if (!row) throw std::invalid_argument("not a picture format: " + std::to_string(int(format)));
    return *row;
}

std::optional<TBatchFormat> FormatFromWord(std::string_view word) {
    for (const TImageFormat& f : kFormats)
        if (sameWord(word, f.Word)) return f.Code;
    return std::nullopt;
}

std::vector<TBatchFormat> ImageChoiceFormats() {
    std::vector<TBatchFormat> formats;
    for (const TImageFormat& f : kFormats)
        if (f.ChoiceCaption) formats.push_back(f.Code);
    return formats;
}

TBatchFormat ImageFormatIndexToCode(int index) {
    for (const TImageFormat& f : kFormats)
        if (f.OptionCaption && f.OptionIndex == index) return f.Code;
    return TBatchFormat::bfTIF;
}

int StandardIconSize(TBatchIconSize size) {
    switch (size) {
    case TBatchIconSize::bs48: return kIconSize48;
    case TBatchIconSize::bs32: return kIconSize32;
    case TBatchIconSize::bs16: return kIconSize16;
    default: return 0;
    }
}

}  // namespace gs
