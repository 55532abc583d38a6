#pragma once
// The picture formats the program writes, one row each with every word and text that names
// the format: the batch command's word, the file extension, the save dialog, the captions of
// the format question and of the options' default format, and the noun of the result texts.
// Whoever needs one of them reads it here, so a format cannot be named two ways.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace gs {

enum class TBatchFormat : std::uint8_t { bfICO = 0, bfBMP = 1, bfGIF = 2, bfJPG = 3, bfWMF = 4, bfTIF = 5 };

// 0 all sizes, 1 48 x 48, 2 32 x 32, 3 16 x 16.
enum class TBatchIconSize : std::uint8_t { bsAll = 0, bs48 = 1, bs32 = 2, bs16 = 3 };

// The save dialog of a format.
struct TSaveTarget {
    const char* Extension;  // ".ico"
    const char* DialogName;
    const char* Title;
    const char* DefaultExt;  // "ico"
    const char* Filter;      // "text|patterns|..."
};

struct TImageFormat {
    TBatchFormat Code;
    const char* Word;  // after the comma of the batch command: "BMP"
    const char* Noun;  // of the result texts: "%d bitmap(s) saved."
    TSaveTarget Save;
    // The format question's radio button and the options' default-format list; nullptr for
    // the formats with commands of their own (icon, bitmap).
    const char* ChoiceCaption;
    const char* OptionCaption;
    int OptionIndex;  // the DefaultImageFormat value; -1 with no caption
};

// Every row, in code order.
std::span<const TImageFormat> ImageFormats();

// The row of a code; nullptr for a number outside the table.
const TImageFormat* FindImageFormat(int code);
// The row of a format; std::invalid_argument for a value outside the table.
const TImageFormat& ImageFormatOf(TBatchFormat format);

// The format a batch word names, in any case; nothing for an unknown word.
std::optional<TBatchFormat> FormatFromWord(std::string_view word);

// The formats the format question offers, in its order (GIF, JPEG, metafile, TIFF).
std::vector<TBatchFormat> ImageChoiceFormats();

// DefaultImageFormat 0, 1, 2 -> GIF, JPG, WMF; anything else TIF.
TBatchFormat ImageFormatIndexToCode(int index);

// 48, 32 or 16 for a size code of one size; 0 for all sizes.
int StandardIconSize(TBatchIconSize size);

}  // namespace gs
