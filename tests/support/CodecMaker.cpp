#include "support/CodecMaker.h"

#include <string_view>

#include "codecs/GifImage.h"
#include "platform/ByteWriter.h"
#include "support/IconMaker.h"

namespace gstest {

gs::TBytes riffChunk(const char* id, const gs::TBytes& data) {
    gs::TByteWriter w;
    w.Chars(std::string_view(id, 4));
    w.U32(std::uint32_t(data.size()));
    w.Bytes(data);
    if (data.size() % 2) w.U8(0);
    return w.Take();
}

namespace {

// The RIFF form of an animated cursor around its chunks.
gs::TBytes aconFile(const gs::TBytes& chunks) {
    gs::TByteWriter file;
    file.Chars("RIFF");
    file.U32(std::uint32_t(chunks.size() + 4));
    file.Chars("ACON");
    file.Bytes(chunks);
    return file.Take();
}

}  // namespace

gs::TRaster indexedPicture(int w, int h, int colours) {
    gs::TRaster r(w, h, gs::PixelFormat::pf8bit);
    std::vector<gs::TRgb> palette;
    for (int i = 0; i < colours; ++i) palette.push_back({std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)});
    r.SetPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) r.SetIndexAt(x, y, std::uint8_t((x * y + x) % colours));
    return r;
}

gs::TBytes animatedGif() {
    gs::TGIFImage gif;
    gif.Assign(indexedPicture(19, 11, 5));
    gif.AddFrame(indexedPicture(7, 13, 40));
    gif.Frame(1).SetInterlaced(true);
    auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&gif.Frame(0));
    loop->loops = 3;
    gif.Frame(0).AddExtension(std::move(loop));
    auto comment = std::make_unique<gs::TGIFCommentExtension>(&gif.Frame(0));
    comment->lines = {"seed"};
    gif.Frame(0).AddExtension(std::move(comment));
    auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(&gif.Frame(1));
    gce->SetTransparent(true);
    gce->SetDelay(9);
    gif.Frame(1).AddExtension(std::move(gce));
    return gif.SaveToBytes();
}

gs::TBytes animatedCursor() {
    gs::TBytes icon = gstest::makeIcoFile({gstest::dibSpec(16, 4)});
    gs::TBytes cursor = gstest::makeIcoFile({gstest::dibSpec(32, 8, 3)});
    cursor[2] = 2;
    gs::TByteWriter anih, rate, seq, body;
    for (std::uint32_t v : {36u, 2u, 3u, 0u, 0u, 0u, 0u, 6u, 3u}) anih.U32(v);
    for (std::uint32_t v : {5u, 7u, 9u}) rate.U32(v);
    for (std::uint32_t v : {1u, 0u, 1u}) seq.U32(v);
    gs::TByteWriter info, fram;
    info.Chars("INFO");
    info.Bytes(riffChunk("INAM", {'s', 'e', 'e', 'd', 0}));
    fram.Chars("fram");
    fram.Bytes(riffChunk("icon", icon));
    fram.Bytes(riffChunk("icon", cursor));
    for (const gs::TBytes& c : {riffChunk("anih", anih.Data()), riffChunk("rate", rate.Data()), riffChunk("seq ", seq.Data()),
                               riffChunk("LIST", info.Data()), riffChunk("LIST", fram.Data())})
        body.Bytes(c);
    return aconFile(body.Data());
}

gs::TBytes longAnimatedCursor(int frames) {
    const gs::TBytes icon = riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    gs::TByteWriter anih, fram, body;
    for (std::uint32_t v : {36u, std::uint32_t(frames), std::uint32_t(frames), 0u, 0u, 0u, 0u, 6u, 1u}) anih.U32(v);
    fram.Chars("fram");
    for (int i = 0; i < frames; ++i) fram.Bytes(icon);
    body.Bytes(riffChunk("anih", anih.Data()));
    body.Bytes(riffChunk("LIST", fram.Data()));
    return aconFile(body.Data());
}

gs::TBytes iconListStream() {
    gs::TByteWriter w;
    w.U32(3);
    for (const gs::TBytes& icon : {gstest::makeIcoFile({gstest::dibSpec(16, 8)}), gs::TBytes{},
                                  gstest::makeIcoFile({gstest::dibSpec(16, 1), gstest::pngSpec(24, 24)})}) {
        w.U32(std::uint32_t(icon.size()));
        w.Bytes(icon);
    }
    return w.Take();
}

}  // namespace gstest
