// ani FILE: an animated cursor's header, texts and steps. ani-strip [--vertical] [--reduce]
// [--back RRGGBB] FILE OUT.bmp: its frames side by side. iconlist-pack OUT ICO|-...,
// iconlist-unpack IN DIR (DIR/K.ico per non-empty entry, K from 1), iconlist-copy IN OUT:
// the icon-list stream. iconlist-resources OUT MODULE NAME...: the list of those icon groups
// of a module, as its "Icons" property.
#include <filesystem>
#include <iostream>

#include "Probe.h"
#include "codecs/AniCursor.h"
#include "codecs/IconList.h"
#include "iconlib/IconModule.h"
#include "platform/AtomicFile.h"
#include "platform/Bmp.h"

namespace {

int ani(const gsprobe::Args& args) {
    if (args.size() != 1) {
        std::cerr << "usage: gsprobe ani FILE\n";
        return gsprobe::kUsage;
    }
    gs::TAnimatedCursorImage cursor;
    cursor.LoadCursorFile(args[0]);
    const gs::TAniHeader& h = cursor.header;
    std::cout << "header " << h.headerSize << ' ' << h.frames << ' ' << h.steps << ' ' << h.width << ' ' << h.height
              << ' ' << h.bitCount << ' ' << h.planes << ' ' << h.displayRate << ' ' << h.flags << '\n'
              << "title " << cursor.title << "\ncreator " << cursor.creator << "\ncolors " << cursor.sourceColorCount
              << '\n';
    for (int i = 0; i < cursor.FrameCount(); ++i) {
        const gs::TIconFrame& f = cursor.FrameAt(i);
        const gs::TQBIconImage& image = *f.icon->Images().GetImage(0);
        std::cout << "frame " << f.sequence << ' ' << f.rate << ' ' << f.hotX << ' ' << f.hotY << ' '
                  << (f.isIcon ? "icon " : "cursor ") << image.Width() << ' ' << image.Height() << '\n';
    }
    return 0;
}

int aniStrip(const gsprobe::Args& args) {
    bool vertical = false, reduce = false;
    gs::Argb back = gs::kWhite;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--vertical") vertical = true;
        if (args[i] == "--reduce") reduce = true;
        if (args[i] == "--back" && i + 1 < args.size()) back = 0xFF000000u | std::stoul(args[++i], nullptr, 16);
    }
    if (args.size() - i != 2) {
        std::cerr << "usage: gsprobe ani-strip [--vertical] [--reduce] [--back RRGGBB] FILE OUT.bmp\n";
        return gsprobe::kUsage;
    }
    gs::TAnimatedCursorImage cursor;
    cursor.LoadCursorFile(args[i]);
    gs::TRaster strip = cursor.FramesToBitmap(back, vertical, reduce);
    if (!gs::isIndexed(strip.Format())) {
        // A BMP of 24 bits: the strip has no alpha to keep.
        gs::TRaster rgb(strip.Width(), strip.Height(), gs::PixelFormat::pf24bit);
        for (int y = 0; y < strip.Height(); ++y)
            for (int x = 0; x < strip.Width(); ++x) rgb.SetPixel(x, y, strip.Pixel(x, y));
        strip = rgb;
    }
    gs::saveBmp(strip, args[i + 1]);
    return 0;
}

int iconlistPack(const gsprobe::Args& args) {
    if (args.empty()) {
        std::cerr << "usage: gsprobe iconlist-pack OUT ICO|-...\n";
        return gsprobe::kUsage;
    }
    gs::TIconList list;
    gs::TQBIcon empty;
    for (std::size_t i = 1; i < args.size(); ++i) {
        gs::TQBIcon icon;
        if (args[i] != "-" && !icon.LoadFromFile(args[i])) throw std::runtime_error(args[i] + ": not an icon file");
        list.SetIconAt(list.IconCount(), icon);
    }
    gs::TByteWriter out;
    list.SaveIcons(out);
    gs::writeFileAtomically(args[0], out.Data());
    return 0;
}

int iconlistResources(const gsprobe::Args& args) {
    if (args.size() < 2) {
        std::cerr << "usage: gsprobe iconlist-resources OUT MODULE NAME...\n";
        return gsprobe::kUsage;
    }
    const auto module = gs::IIconModule::Open(args[1]);
    gs::TIconList list;
    for (std::size_t i = 2; i < args.size(); ++i) list.AddIconResource(*module, args[i]);
    gs::writeFileAtomically(args[0], list.IconsProperty());
    return 0;
}

void loadList(gs::TIconList& list, const std::string& path) {
    auto src = gs::openFileSource(path);
    gs::TByteReader in(*src);
    list.LoadIcons(in);
}

int iconlistUnpack(const gsprobe::Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: gsprobe iconlist-unpack IN DIR\n";
        return gsprobe::kUsage;
    }
    gs::TIconList list;
    loadList(list, args[0]);
    std::filesystem::create_directories(args[1]);
    for (int i = 0; i < list.IconCount(); ++i)
        if (const gs::TQBIcon* icon = list.IconAt(i); icon && icon->Images().Count() > 0)
            icon->SaveToFile(std::filesystem::path(args[1]) / (std::to_string(i + 1) + ".ico"));
    std::cout << "entries " << list.IconCount() << '\n';
    return 0;
}

int iconlistCopy(const gsprobe::Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: gsprobe iconlist-copy IN OUT\n";
        return gsprobe::kUsage;
    }
    gs::TIconList list, copy;
    loadList(list, args[0]);
    copy.Assign(list);
    gs::TByteWriter out;
    copy.SaveIcons(out);
    gs::writeFileAtomically(args[1], out.Data());
    return 0;
}

gsprobe::Registrar r1("ani", ani);
gsprobe::Registrar r2("ani-strip", aniStrip);
gsprobe::Registrar r3("iconlist-pack", iconlistPack);
gsprobe::Registrar r4("iconlist-unpack", iconlistUnpack);
gsprobe::Registrar r5("iconlist-copy", iconlistCopy);
gsprobe::Registrar r6("iconlist-resources", iconlistResources);

}  // namespace
