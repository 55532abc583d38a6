#include "support/CodecMaker.h"

#include <string_view>

#include "codecs/GifImage.h"
#include "platform/ByteWriter.h"
#include "support/IconMaker.h"

namespace gstest {

gs::Bytes riffChunk(const char* id, const gs::Bytes& data) {
    gs::ByteWriter w;
    w.chars(std::string_view(id, 4));
    w.u32(std::uint32_t(data.size()));
    w.bytes(data);
    if (data.size() % 2) w.u8(0);
    return w.take();
}

gs::Raster indexedPicture(int w, int h, int colours) {
    gs::Raster r(w, h, gs::PixelFormat::pf8bit);
    std::vector<gs::Rgb> palette;
    for (int i = 0; i < colours; ++i) palette.push_back({std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)});
    r.setPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) r.setIndexAt(x, y, std::uint8_t((x * y + x) % colours));
    return r;
}

gs::Bytes animatedGif() {
    gs::TGIFImage gif;
    gif.assign(indexedPicture(19, 11, 5));
    gif.addFrame(indexedPicture(7, 13, 40));
    gif.frame(1).setInterlaced(true);
    auto loop = std::make_unique<gs::TGIFAppExtNSLoop>(&gif.frame(0));
    loop->loops = 3;
    gif.frame(0).addExtension(std::move(loop));
    auto comment = std::make_unique<gs::TGIFCommentExtension>(&gif.frame(0));
    comment->lines = {"seed"};
    gif.frame(0).addExtension(std::move(comment));
    auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(&gif.frame(1));
    gce->setTransparent(true);
    gce->setDelay(9);
    gif.frame(1).addExtension(std::move(gce));
    return gif.saveToBytes();
}

gs::Bytes animatedCursor() {
    gs::Bytes icon = gstest::makeIcoFile({gstest::dibSpec(16, 4)});
    gs::Bytes cursor = gstest::makeIcoFile({gstest::dibSpec(32, 8, 3)});
    cursor[2] = 2;
    gs::ByteWriter anih, rate, seq, body;
    for (std::uint32_t v : {36u, 2u, 3u, 0u, 0u, 0u, 0u, 6u, 3u}) anih.u32(v);
    for (std::uint32_t v : {5u, 7u, 9u}) rate.u32(v);
    for (std::uint32_t v : {1u, 0u, 1u}) seq.u32(v);
    gs::ByteWriter info, fram;
    info.chars("INFO");
    info.bytes(riffChunk("INAM", {'s', 'e', 'e', 'd', 0}));
    fram.chars("fram");
    fram.bytes(riffChunk("icon", icon));
    fram.bytes(riffChunk("icon", cursor));
    for (const gs::Bytes& c : {riffChunk("anih", anih.data()), riffChunk("rate", rate.data()), riffChunk("seq ", seq.data()),
                               riffChunk("LIST", info.data()), riffChunk("LIST", fram.data())})
        body.bytes(c);
    gs::ByteWriter file;
    file.chars("RIFF");
    file.u32(std::uint32_t(body.pos() + 4));
    file.chars("ACON");
    file.bytes(body.data());
    return file.take();
}

gs::Bytes longAnimatedCursor(int frames) {
    const gs::Bytes icon = riffChunk("icon", gstest::makeIcoFile({gstest::dibSpec(16, 4)}));
    gs::ByteWriter anih, fram, body;
    for (std::uint32_t v : {36u, std::uint32_t(frames), std::uint32_t(frames), 0u, 0u, 0u, 0u, 6u, 1u}) anih.u32(v);
    fram.chars("fram");
    for (int i = 0; i < frames; ++i) fram.bytes(icon);
    body.bytes(riffChunk("anih", anih.data()));
    body.bytes(riffChunk("LIST", fram.data()));
    gs::ByteWriter file;
    file.chars("RIFF");
    file.u32(std::uint32_t(body.pos() + 4));
    file.chars("ACON");
    file.bytes(body.data());
    return file.take();
}

gs::Bytes iconListStream() {
    gs::ByteWriter w;
    w.u32(3);
    for (const gs::Bytes& icon : {gstest::makeIcoFile({gstest::dibSpec(16, 8)}), gs::Bytes{},
                                  gstest::makeIcoFile({gstest::dibSpec(16, 1), gstest::pngSpec(24, 24)})}) {
        w.u32(std::uint32_t(icon.size()));
        w.bytes(icon);
    }
    return w.take();
}

}  // namespace gstest
