// gsprobe subcommands over the icon library: list, ico, rgba, icl.
#include <cstdio>
#include <iostream>

#include "Probe.h"
#include "iconlib/IclWriter.h"
#include "iconlib/IconLibrary.h"

using namespace gs;

namespace {

// list [-v] FILE...: FILE<TAB>INDEX<TAB>NAME<TAB>IMAGES, with -v one line per image.
int list(const gsprobe::Args& args) {
    bool verbose = false;
    for (const auto& a : args) {
        if (a == "-v") {
            verbose = true;
            continue;
        }
        TQBIconLibrary lib;
        lib.LoadFromFile(a);
        for (int i = 0; i < lib.Icons.Count(); ++i) {
            const TQBIconImageList& imgs = lib.Icons.GetIcon(i)->Images();
            std::cout << a << '\t' << i << '\t' << lib.Icons.Name(i) << '\t' << imgs.Count() << '\n';
            if (!verbose) continue;
            for (std::uint16_t k = 0; k < imgs.Count(); ++k) {
                const TQBIconImage* im = imgs.GetImage(k);
                std::cout << "\t\t" << im->Width() << 'x' << im->Height() << '\t' << im->BitCount() << '\t'
                          << int(im->ColorCount()) << '\t' << im->BytesInRes() << '\n';
            }
        }
    }
    return 0;
}

const TQBIcon* iconAt(TQBIconLibrary& lib, const std::string& file, const std::string& index) {
    lib.LoadFromFile(file);
    int i = std::stoi(index);
    if (i < 0 || i >= lib.Icons.Count()) return nullptr;
    return lib.Icons.GetIcon(i);
}

// ico FILE INDEX OUT
int ico(const gsprobe::Args& a) {
    if (a.size() != 3) return gsprobe::kUsage;
    TQBIconLibrary lib;
    const TQBIcon* icon = iconAt(lib, a[0], a[1]);
    if (!icon) return 0;
    icon->SaveToFile(a[2]);
    return 0;
}

std::string rgbaBytes(const TIconPicture& pic_) {
    const TIconPicture* pic = &pic_;
    std::string out;
    out.reserve(std::size_t(pic->width) * pic->height * 4);
    for (int y = 0; y < pic->height; ++y)
        for (int x = 0; x < pic->width; ++x) {
            Argb c = pic->rgbaAt(x, y);
            out += char(redOf(c));
            out += char(greenOf(c));
            out += char(blueOf(c));
            out += char(alphaOf(c));
        }
    return out;
}

// rgba FILE INDEX IMAGE: straight-alpha RGBA, rows top-down, on stdout.
int rgba(const gsprobe::Args& a) {
    if (a.size() != 3) return gsprobe::kUsage;
    TQBIconLibrary lib;
    const TQBIcon* icon = iconAt(lib, a[0], a[1]);
    if (!icon) return 0;
    const TQBIconImage* image = icon->Images().GetImage(std::uint16_t(std::stoi(a[2])));
    if (!image) return 3;
    auto pic = image->GetHandle();
    if (!pic) return 4;
    std::string out = rgbaBytes(*pic);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// rgba-all FILE DIR: every image of every icon as DIR/INDEX_IMAGE.rgba, read once.
int rgbaAll(const gsprobe::Args& a) {
    if (a.size() != 2) return gsprobe::kUsage;
    TQBIconLibrary lib;
    lib.LoadFromFile(a[0]);
    for (int i = 0; i < lib.Icons.Count(); ++i) {
        const TQBIconImageList& imgs = lib.Icons.GetIcon(i)->Images();
        for (std::uint16_t k = 0; k < imgs.Count(); ++k) {
            auto pic = imgs.GetImage(k)->GetHandle();
            if (!pic) continue;
            std::string out = rgbaBytes(*pic);
            std::FILE* f = std::fopen((a[1] + "/" + std::to_string(i) + "_" + std::to_string(k) + ".rgba").c_str(), "wb");
            if (!f) return 1;
            std::fwrite(out.data(), 1, out.size(), f);
            std::fclose(f);
        }
    }
    return 0;
}

// icl OUT SRC[:INDEX][=NAME]...: an icon library from icons of other files.
int icl(const gsprobe::Args& a) {
    if (a.size() < 2) return gsprobe::kUsage;
    TQBIconLibrary out;
    for (std::size_t k = 1; k < a.size(); ++k) {
        std::string spec = a[k], name;
        int index = -1;
        if (auto eq = spec.find('='); eq != std::string::npos) name = spec.substr(eq + 1), spec.erase(eq);
        if (auto colon = spec.rfind(':'); colon != std::string::npos)
            index = std::stoi(spec.substr(colon + 1)), spec.erase(colon);
        TQBIconLibrary src;
        src.LoadFromFile(spec);
        for (int i = 0; i < src.Icons.Count(); ++i) {
            if (index >= 0 && i != index) continue;
            auto copy = std::make_unique<TQBIcon>();
            copy->Assign(*src.Icons.GetIcon(i));
            out.Icons.AddIcon(name.empty() ? src.Icons.Name(i) : name, std::move(copy));
        }
    }
    out.SaveToFile(a[0]);
    return 0;
}

gsprobe::Registrar r1("list", list);
gsprobe::Registrar r2("ico", ico);
gsprobe::Registrar r3("rgba", rgba);
gsprobe::Registrar r4("icl", icl);
gsprobe::Registrar r5("rgba-all", rgbaAll);

}  // namespace
