// Parsing animated cursors. Every chunk is a window of its container, checked when it is
// made, and read in place through it; no count makes us allocate more than the file holds.
#include "codecs/AniCursor.h"

#include <algorithm>

#include "codecs/CodecBounds.h"
#include "codecs/CodecErrors.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/IconList.h"
#include "platform/Bmp.h"
#include "platform/Errors.h"
#include "platform/ReadBudget.h"

namespace gs {

namespace {

constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kMaxTextLength = 255;
constexpr std::uint64_t kIconDirHeader = 6, kIconDirEntry = 16;
constexpr std::uint64_t kBitCountInInfoHeader = 14;
constexpr std::uint16_t kIconType = 1, kCursorType = 2;
// Cursors are at most a few hundred pixels a side: a strip beyond 16 million pixels comes
// from a damaged size field, and would only cost seconds to fill and reduce.
constexpr std::uint64_t kMaxStripPixels = std::uint64_t(1) << 24;

[[noreturn]] void malformed() { throw EReadError(kStreamRead); }

std::uint64_t padded(std::uint64_t size) { return size + (size & 1); }

// Text up to its first NUL, at most 255 characters.
std::string textOf(TByteReader chunk) {
    chunk.Seek(0);
    const std::string text = chunk.Chars(std::min(chunk.Size(), kMaxTextLength));
    return text.substr(0, text.find('\0'));
}

// The steps by sequence, so that an image finds the steps that show it without a pass over
// every step: one list per sequence value, threaded through one array. A step whose sequence
// changes is listed again under its new value, and its old entry is passed over once the
// step no longer has that value; every entry is one step made or one value of a "seq "
// chunk, so the lists stay linear in the file. Values no image can have are not listed.
class TStepsBySequence {
public:
    explicit TStepsBySequence(std::uint64_t sequences) : head_(std::size_t(sequences), kNone) {}
    void Add(int sequence, std::size_t step) {
        if (sequence < 0 || std::size_t(sequence) >= head_.size()) return;
        entries_.push_back({std::uint32_t(step), head_[std::size_t(sequence)]});
        head_[std::size_t(sequence)] = std::uint32_t(entries_.size() - 1);
    }
    // The steps listed under `sequence`; the caller checks that each still has it.
    template <class F>
    void ForEach(int sequence, F f) const {
        if (sequence < 0 || std::size_t(sequence) >= head_.size()) return;
        for (std::uint32_t at = head_[std::size_t(sequence)]; at != kNone; at = entries_[at].next) f(entries_[at].step);
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    struct Entry {
        std::uint32_t step, next;
    };
    std::vector<std::uint32_t> head_;
    std::vector<Entry> entries_;
};

int colorsOfBitCount(std::uint16_t bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }

}  // namespace

TRaster TIconPicture(const TQBIcon& icon, Argb back) {
    if (icon.Images().Count() == 0) return TRaster();
    const TQBIconImage& image = *icon.Images().GetImage(0);
    TRaster picture(image.Width(), image.Height());
    picture.Fill(back);
    image.Draw(picture, 0, 0);
    return picture;
}

void TAnimatedCursorImage::ClearCursor() {
    frames_.clear();
    title.clear();
    creator.clear();
    header = TAniHeader{};
    sourceColorCount = 0;
}

void TAnimatedCursorImage::Assign(const TAnimatedCursorImage& source) {
    if (&source == this) return;
    ClearCursor();
    header = source.header;
    title = source.title;
    creator = source.creator;
    sourceColorCount = source.sourceColorCount;
    for (const auto& f : source.frames_) frames_.push_back(std::make_unique<TIconFrame>(*f));
}

void TAnimatedCursorImage::AssignTo(TIconList& list) const {
    list.BeginIconUpdate();
    list.ClearIcons();
    for (const auto& f : frames_) list.AddIcon(*f->icon);
    list.EndIconUpdate();
}

void TAnimatedCursorImage::SaveCursorStream(TByteWriter&) const {
    throw EInvalidGraphicOperation(graphicmsg::kNotImplemented);
}

void TAnimatedCursorImage::LoadCursorStream(TByteReader& in) {
    const TByteReader rest = in.Window(std::min(in.Pos(), in.Size()), in.Remaining());
    in.Skip(rest.Size());
    if (rest.Size() > 0) Load(rest);
}

void TAnimatedCursorImage::LoadCursorFile(const std::filesystem::path& path) {
    try {
        LoadFromSource(*openFileSource(path));
    } catch (...) {
        ClearCursor();
        throw;
    }
}

void TAnimatedCursorImage::LoadFromSource(const IByteSource& src) { Load(TByteReader(src)); }

void TAnimatedCursorImage::Load(const TByteReader& file) {
    try {
        Parse(file);
    } catch (const EOverBudget& e) {
        ClearCursor();
        throw EOverBudget(kStreamRead, e.Reason());
    } catch (const EReadError&) {
        ClearCursor();
        throw EReadError(kStreamRead);
    }
}

bool TAnimatedCursorImage::ReadFrameImage(const TByteReader& chunk, TImageDataPool& pool, TIconFrame& into) {
    if (!chunk.Contains(0, kIconDirHeader)) return false;
    const std::uint16_t type = chunk.U16At(2);
    if (type != kIconType && type != kCursorType) return false;
    int hotX = 0, hotY = 0;
    const std::uint16_t count = chunk.U16At(4);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t entry = kIconDirHeader + i * kIconDirEntry;
        if (!chunk.Contains(entry, kIconDirEntry)) break;  // this and every later entry lie outside the chunk
        const std::uint64_t bitCount = std::uint64_t(chunk.U32At(entry + 12)) + kBitCountInInfoHeader;
        if (chunk.Contains(bitCount, 2))
            sourceColorCount = std::max(sourceColorCount, colorsOfBitCount(chunk.U16At(bitCount)));
        hotX = chunk.U16At(entry + 4);
        hotY = chunk.U16At(entry + 6);
    }
    // The icon reader takes cursors too: the same layout, hot spots for planes and bits.
    pool.TakeObject("the icons of the frames");
    auto icon = std::make_shared<TQBIcon>();
    if (!icon->LoadFromWindow(chunk, pool, true) || icon->Images().Count() == 0) return false;
    into.isIcon = type == kIconType;
    if (into.isIcon) {
        hotX = icon->Images().GetImage(0)->Width() / 2;
        hotY = icon->Images().GetImage(0)->Height() / 2;
    }
    into.icon = std::move(icon);
    into.tag = TRiffTag{{'i', 'c', 'o', 'n'}, std::uint32_t(chunk.Size())};
    into.hotX = hotX;
    into.hotY = hotY;
    return true;
}

void TAnimatedCursorImage::Parse(const TByteReader& file) {
    TByteReader r = file;
    r.Seek(0);
    if (file.Size() < 12 || r.Chars(4) != "RIFF") malformed();
    r.U32();
    if (r.Chars(4) != "ACON") malformed();
    ClearCursor();
    // Steps past this many could never be given an image (see kAniBytesPerStep): they are
    // not made, which leaves the result as it would be with them.
    const std::uint64_t maxSteps = file.Size() / kAniBytesPerStep;
    std::size_t rateAt = 0, seqAt = 0;
    int ordinal = 0;
    // Each image is one "icon" chunk: no more images, and so sequences shown, than those fit.
    TStepsBySequence bySequence(file.Size() / kChunkHeader + 1);
    // Frames naming the same bytes share them, and all they hold is counted for the file.
    TImageDataPool pool(file.Size());
    auto append = [&](std::unique_ptr<TIconFrame> f) {
        bySequence.Add(f->sequence, frames_.size());
        frames_.push_back(std::move(f));
    };
    auto setSequence = [&](std::size_t i, int sequence) {
        frames_[i]->sequence = sequence;
        bySequence.Add(sequence, i);
    };

    auto takeImage = [&](const TByteReader& chunk) {
        TIconFrame image;
        if (!ReadFrameImage(chunk, pool, image)) return false;
        bool placed = false;
        bySequence.ForEach(ordinal, [&](std::size_t step) {
            TIconFrame& f = *frames_[step];
            if (f.sequence != ordinal) return;  // listed under a value it had before
            const int rate = f.rate;
            f = image;
            f.sequence = ordinal;
            f.rate = rate;
            placed = true;
        });
        if (!placed) {
            image.sequence = -1;
            image.rate = int(header.displayRate);
            append(std::make_unique<TIconFrame>(image));
        }
        ++ordinal;
        return true;
    };

    while (r.Remaining() >= kChunkHeader) {
        const std::string id = r.Chars(4);
        const std::uint32_t size = r.U32();
        if (size > r.Remaining()) break;  // a chunk past the end: nothing more can be read
        const TByteReader chunk = r.Window(r.Pos(), size);
        if (id == "anih") {
            // Fields the chunk does not hold whole are 0.
            std::uint32_t* fields[] = {&header.headerSize, &header.frames, &header.steps, &header.width, &header.height,
                                       &header.bitCount,   &header.planes, &header.displayRate, &header.flags};
            for (std::size_t i = 0; i < std::size(fields); ++i)
                *fields[i] = chunk.Contains(4 * i, 4) ? chunk.U32At(4 * i) : 0;
            if (!(header.flags & TAniHeader::kIconFlag) || header.steps == 0) malformed();
            const std::uint64_t room = maxSteps - std::min<std::uint64_t>(maxSteps, frames_.size());
            const std::uint64_t steps = std::min<std::uint64_t>(header.steps, room);
            for (std::uint64_t i = 0; i < steps; ++i) {
                auto f = std::make_unique<TIconFrame>();
                f->sequence = int(i);
                f->rate = int(header.displayRate);
                append(std::move(f));
            }
        } else if (id == "rate" || id == "seq ") {
            // One value per step; steps a short chunk lacks keep what they had.
            std::size_t& next = id == "rate" ? rateAt : seqAt;
            for (std::uint64_t at = 0; chunk.Contains(at, 4) && next < frames_.size(); at += 4, ++next) {
                const int v = int(chunk.U32At(at));
                if (id == "rate")
                    frames_[next]->rate = v;
                else
                    setSequence(next, v);
            }
        } else if (id == "LIST") {
            if (size < 4) malformed();
            TByteReader list = chunk;
            const std::string type = list.Chars(4);
            while (type == "fram" || type == "INFO") {
                if (list.Remaining() < kChunkHeader) break;
                const std::string subId = list.Chars(4);
                const std::uint32_t subSize = list.U32();
                if (subSize > list.Remaining()) {
                    // A text larger than its list ends the list and no more; an image is the
                    // cursor itself and cannot be cut short.
                    if (type == "INFO") break;
                    malformed();
                }
                const TByteReader sub = list.Window(list.Pos(), subSize);
                if (type == "fram" && subId == "icon" && !takeImage(sub)) break;
                if (type == "INFO" && subId == "INAM") title = textOf(sub);
                if (type == "INFO" && subId == "IART") creator = textOf(sub);
                list.Skip(std::min(padded(subSize), list.Remaining()));
            }
        }
        r.Skip(padded(size));  // a last chunk without its pad byte ends the file
    }
    std::erase_if(frames_, [](const auto& f) { return !f->icon; });
    header.steps = std::uint32_t(frames_.size());
    if (frames_.empty()) malformed();
}

TRaster TAnimatedCursorImage::FramesToBitmap(Argb back, bool vertical, bool reduce) const {
    if (frames_.empty() || frames_[0]->icon->Images().Count() == 0) return TRaster();
    const TQBIconImage& first = *frames_[0]->icon->Images().GetImage(0);
    // Every frame gets frame 0's cell, whatever its own size.
    const std::uint64_t cellW = std::uint64_t(first.Width()), cellH = std::uint64_t(first.Height());
    const std::uint64_t n = frames_.size();
    const std::uint64_t w = vertical ? cellW : cellW * n, h = vertical ? cellH * n : cellH;
    if (w * h > kMaxStripPixels || w > 0x7FFFFFFF || h > 0x7FFFFFFF) throw EInvalidGraphic(graphicmsg::kInvalidBitmap);
    TRaster strip(static_cast<int>(w), static_cast<int>(h));
    strip.Fill(back);
    for (std::uint64_t i = 0; i < n; ++i) {
        const TQBIcon& icon = *frames_[i]->icon;
        if (icon.Images().Count() == 0) continue;
        icon.Images().GetImage(0)->Draw(strip, vertical ? 0 : int(i * cellW), vertical ? int(i * cellH) : 0);
    }
    if (!reduce) return strip;
    TMemorySource bmp(BitmapToColorCount(strip, std::max(sourceColorCount, 16)));
    return decodeBmp(bmp);
}

}  // namespace gs
