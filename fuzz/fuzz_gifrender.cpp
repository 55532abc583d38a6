// A GIF shown: every frame rendered (plain and dithered), the frames composed on the
// logical screen one after the other with their disposals, and the painter's timetable.
#include "codecs/GifImage.h"
#include "codecs/GifRender.h"
#include "platform/ByteSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    gs::TGIFImage gif;
    gif.SetOnWarn([](const void*, int, const std::string&) {});
    try {
        gif.LoadFromSource(src);
    } catch (const gs::GIFException&) {
        return 0;
    }
    // The reader lets a small file declare frames of tens of millions of fill pixels (its
    // budget); rendering them is linear and checked on pictures of sensible size, so the
    // search is not slowed to a few inputs a second.
    std::uint64_t pixels = std::uint64_t(gif.Width()) * std::uint64_t(gif.Height());
    for (int i = 0; i < gif.FrameCount(); ++i) pixels += gif.Frame(i).Pixels().size();
    if (pixels > (std::uint64_t(1) << 20)) return 0;
    try {
        for (int i = 0; i < gif.FrameCount(); ++i) {
            gs::RenderFrame(gif.Frame(i), false);
            gs::RenderFrame(gif.Frame(i), true);
        }
        gs::TGIFCompositor compositor(gif, gs::PainterBackground(gif), (size & 1) != 0);
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < gif.FrameCount(); ++i) compositor.Show(i);
        compositor.Clear();
        gs::PainterSchedule(gif, 100, 3);
        gs::TPainterTimetable timetable(gif, gif.DrawOptions(), int(size % 300));
        for (int step = 0; step < 64 && timetable.Next().What != gs::TPainterStep::Kind::End; ++step) {
        }
    } catch (const gs::GIFException&) {
    }
    return 0;
}
