// Parsing animated cursors. Every chunk is a window of its container, checked when it is
// made, and read in place through it; no count makes us allocate more than the file holds.
#include "codecs/AniCursor.h"

#include <algorithm>
#include <deque>

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
    static constexpr std::uint64_t kEntryBytes = 2 * sizeof(std::uint32_t);
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
    std::deque<Entry> entries_;
};

// What one object made on the heap costs besides its own size.
constexpr std::uint64_t kHeapBlockBytes = 16;

// The next chunk of a container: its id, its data as far as the container holds them, and
// whether the container ends inside them. The reader moves past the chunk and its pad byte.
struct TChunk {
    std::string id;
    TByteReader data;
    bool cut;
};

// Whether another chunk header can be read, `taken` having been read from the file so far:
// past kAniMaxChunks the file reads as if it ended there.
bool hasChunk(const TByteReader& r, std::uint64_t taken) { return r.Remaining() >= kChunkHeader && taken < kAniMaxChunks; }

TChunk takeChunk(TByteReader& r, std::uint64_t& taken) {
    ++taken;
    std::string id = r.Chars(4);
    const std::uint32_t size = r.U32();
    const std::uint64_t have = std::min<std::uint64_t>(size, r.Remaining());
    TChunk c{std::move(id), r.Window(r.Pos(), have), have < size};
    r.Skip(std::min(padded(size), r.Remaining()));
    return c;
}

// What the chunks of a cursor can give its steps, counted before any step is made: no step
// past these can get an image, a rate or a sequence, and such steps would only be dropped.
struct TCensus {
    std::uint64_t images = 0;  // "icon" chunks of "fram" lists
    std::uint64_t values = 0;  // values of "seq " chunks, or of "rate" chunks when there are more
};

TCensus censusOf(TByteReader r) {
    TCensus n;
    std::uint64_t sequences = 0, rates = 0, taken = 0;
    while (hasChunk(r, taken)) {
        const TChunk c = takeChunk(r, taken);
        if (c.id == "seq ") sequences += c.data.Size() / 4;
        if (c.id == "rate") rates += c.data.Size() / 4;
        TByteReader list = c.data;
        if (c.id == "LIST" && list.Size() >= 4 && list.Chars(4) == "fram")
            while (hasChunk(list, taken)) n.images += takeChunk(list, taken).id == "icon";
        if (c.cut) break;
    }
    n.values = std::max(sequences, rates);
    return n;
}

// The steps of an animation as they are read, and the images they show. A step is its
// sequence, its rate and its image; each image is kept once. What the steps hold is counted in
// the file's budget before it is made.
class TSteps {
public:
    // `census` of the file; no more than `maxSteps` steps are made (see kAniBytesPerStep).
    TSteps(const TCensus& census, std::uint64_t maxSteps, TImageDataPool& pool)
        : census_(census), maxSteps_(maxSteps), pool_(pool), bySequence_(census.images) {
        Hold(census.images * sizeof(std::uint32_t));
    }

    // `count` more steps, showing the images in order, at `rate`. A step gets an image only
    // through its own place (below the images the file has) or a value of a "seq " chunk:
    // the others would be dropped at the end, and are not made. They still take their places
    // in the order of the steps, so that values find the steps they belong to; values never
    // reach them, nor any step after them.
    void AddSteps(std::uint64_t count, int rate) {
        const std::uint64_t at = steps_.size() + leftOut_;
        const std::uint64_t wanted = std::max(census_.images, census_.values - std::min(census_.values, at));
        const std::uint64_t room = maxSteps_ - std::min<std::uint64_t>(maxSteps_, steps_.size());
        const std::uint64_t made = std::min({count, wanted, room});
        if (made < count) {
            if (leftOut_ == 0) reachable_ = std::size_t(steps_.size() + made);
            leftOut_ += count - made;
        }
        Hold(made * kStepBytes);
        for (std::uint64_t i = 0; i < made; ++i) Add({std::int32_t(i), rate, kNoImage});
    }

    // The values of a "rate" or "seq " chunk, one per step from where the last chunk of its
    // kind stopped; steps a short chunk lacks keep what they had.
    void SetValues(const TByteReader& chunk, bool rates) {
        std::size_t& next = rates ? rateAt_ : seqAt_;
        const std::size_t end = std::min(steps_.size(), reachable_);
        for (std::uint64_t at = 0; chunk.Contains(at, 4) && next < end; at += 4, ++next) {
            const auto v = std::int32_t(chunk.U32At(at));
            if (rates) {
                steps_[next].rate = v;
                continue;
            }
            Hold(TStepsBySequence::kEntryBytes);
            steps_[next].sequence = v;
            bySequence_.Add(v, next);
        }
    }

    // The next image: shown by every step whose sequence is its ordinal, or by a step of its
    // own (no sequence, at `rate`) at the end when there is none.
    void Show(TIconFrame image, int rate) {
        images_.push_back(std::move(image));
        const auto shown = std::int32_t(images_.size() - 1);
        bool placed = false;
        bySequence_.ForEach(ordinal_, [&](std::size_t i) {
            if (steps_[i].sequence != ordinal_) return;  // listed under a value it had before
            steps_[i].image = shown;
            placed = true;
        });
        if (!placed) {
            Hold(kStepBytes);
            Add({-1, rate, shown});
        }
        ++ordinal_;
    }

    // The steps that show an image, in order.
    std::vector<std::unique_ptr<TIconFrame>> Frames() {
        std::size_t shown = 0;
        for (const TStep& s : steps_) shown += s.image != kNoImage;
        Hold(shown * (sizeof(TIconFrame) + sizeof(std::unique_ptr<TIconFrame>) + kHeapBlockBytes));
        std::vector<std::unique_ptr<TIconFrame>> frames;
        frames.reserve(shown);
        for (const TStep& s : steps_) {
            if (s.image == kNoImage) continue;
            auto f = std::make_unique<TIconFrame>(images_[std::size_t(s.image)]);
            f->sequence = s.sequence;
            f->rate = s.rate;
            frames.push_back(std::move(f));
        }
        return frames;
    }

private:
    struct TStep {
        std::int32_t sequence, rate, image;
    };
    static constexpr std::int32_t kNoImage = -1;
    static constexpr std::uint64_t kStepBytes = sizeof(TStep) + TStepsBySequence::kEntryBytes;

    void Add(TStep step) {
        bySequence_.Add(step.sequence, steps_.size());
        steps_.push_back(step);
    }
    // Counts `bytes` more in the file's budget, in whole objects.
    void Hold(std::uint64_t bytes) {
        for (owed_ += bytes; owed_ >= TReadBudget::kObjectCost; owed_ -= TReadBudget::kObjectCost)
            pool_.TakeObject("the steps of the animation");
    }

    TCensus census_;
    std::uint64_t maxSteps_;
    TImageDataPool& pool_;
    std::uint64_t owed_ = 0;
    // Lists that grow in blocks hold what they are counted at, with no doubling.
    std::deque<TStep> steps_;
    std::vector<TIconFrame> images_;  // each counted with its icon
    TStepsBySequence bySequence_;
    std::uint64_t leftOut_ = 0;            // steps not made
    std::size_t reachable_ = SIZE_MAX;     // steps before the first not made
    std::size_t rateAt_ = 0, seqAt_ = 0;  // the next step of a "rate" and of a "seq " chunk
    int ordinal_ = 0;                      // the next image's
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
    // Frames naming the same bytes share them, and all they hold is counted for the file;
    // so are the steps, whose count the header gives and no bytes back.
    TImageDataPool pool(file.Size());
    TSteps steps(censusOf(r), file.Size() / kAniBytesPerStep, pool);
    // Chunks are read until none is left; one the file ends inside is read as far as it goes
    // and ends the reading (an image cut short is no image).
    bool more = true;
    std::uint64_t taken = 0;
    while (more && hasChunk(r, taken)) {
        const TChunk c = takeChunk(r, taken);
        more = !c.cut;
        const TByteReader& chunk = c.data;
        if (c.id == "anih") {
            // Fields the chunk does not hold whole are 0.
            std::uint32_t* fields[] = {&header.headerSize, &header.frames, &header.steps, &header.width, &header.height,
                                       &header.bitCount,   &header.planes, &header.displayRate, &header.flags};
            for (std::size_t i = 0; i < std::size(fields); ++i)
                *fields[i] = chunk.Contains(4 * i, 4) ? chunk.U32At(4 * i) : 0;
            if (!(header.flags & TAniHeader::kIconFlag) || header.steps == 0) malformed();
            steps.AddSteps(header.steps, int(header.displayRate));
        } else if (c.id == "rate" || c.id == "seq ") {
            steps.SetValues(chunk, c.id == "rate");
        } else if (c.id == "LIST" && chunk.Size() >= 4) {
            TByteReader list = chunk;
            const std::string type = list.Chars(4);
            // A sub-chunk larger than what is left of its list ends the list.
            while ((type == "fram" || type == "INFO") && hasChunk(list, taken)) {
                const TChunk sub = takeChunk(list, taken);
                if (sub.cut) break;
                if (type == "fram" && sub.id == "icon") {
                    TIconFrame image;
                    if (!ReadFrameImage(sub.data, pool, image)) break;
                    steps.Show(std::move(image), int(header.displayRate));
                }
                if (type == "INFO" && sub.id == "INAM") title = textOf(sub.data);
                if (type == "INFO" && sub.id == "IART") creator = textOf(sub.data);
            }
        } else if (c.id == "LIST") {
            break;  // a list too short for its type: the reading of the type fails
        }
    }
    frames_ = steps.Frames();
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
