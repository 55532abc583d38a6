#include "codecs/PictureFormats.h"

#include <algorithm>
#include <cctype>

#include "codecs/GifImage.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/RxGif.h"

namespace gs {

namespace {
std::string lowerExtension(std::string_view extension) {
    if (extension.starts_with('.')) extension.remove_prefix(1);
    std::string out(extension);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}
}  // namespace

void TFileFormats::Add(std::string_view extension, std::string description, std::type_index graphicClass,
                       std::function<std::unique_ptr<TGraphic>()> make) {
    formats_.push_back({lowerExtension(extension), std::move(description), graphicClass, std::move(make)});
}

void TFileFormats::Remove(std::type_index graphicClass) {
    std::erase_if(formats_, [&](const TFileFormat& f) { return f.graphicClass == graphicClass; });
}

const TFileFormat* TFileFormats::Find(std::string_view extension) const {
    const std::string wanted = lowerExtension(extension);
    if (wanted.empty()) return nullptr;
    const auto found = std::find_if(formats_.rbegin(), formats_.rend(), [&](const TFileFormat& f) { return f.extension == wanted; });
    return found == formats_.rend() ? nullptr : &*found;
}

TFileFormats& PictureFileFormats() {
    static TFileFormats formats = [] {
        TFileFormats made;
        made.Add<TGIFImage>("GIF", "GIF Image");
        // Registered after it, the splash-picture graphic is the one a ".gif" name finds.
        made.Add<TRxGIFImage>("gif", rxgifmsg::kDescription);
        return made;
    }();
    return formats;
}

void TPicture::LoadFromFile(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    const TFileFormat* format = formats_.Find(extension);
    if (!format) throw EInvalidGraphic(std::string(kUnknownPictureExtension) + " (" + extension + ")");
    std::unique_ptr<TGraphic> loaded = format->make();
    loaded->LoadFromSource(*openFileSource(path));
    graphic_ = std::move(loaded);
}

}  // namespace gs
