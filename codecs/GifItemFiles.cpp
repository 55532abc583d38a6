// Single blocks of a GIF in files of their own: a header, a frame or an extension is written
// and read by itself, as its own stream, without the rest of the image.
#include <memory>

#include "codecs/GifImage.h"
#include "platform/AtomicFile.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"

namespace gs {

namespace {

template <class Item>
void saveItem(const Item& item, const std::filesystem::path& path) {
    TByteWriter out;
    item.SaveToStream(out);
    writeFileAtomically(path, out.Take());
}

// Reads the file through `load`; a block cut short is the format's "Premature end of data".
template <class Load>
void loadItem(const std::filesystem::path& path, Load load) {
    std::shared_ptr<const IByteSource> src = openFileSource(path);
    TByteReader in(*src);
    try {
        load(in);
    } catch (const EReadError&) {
        throw GIFException(gifmsg::kPrematureEnd);
    }
}

}  // namespace

void TGIFHeader::SaveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFHeader::LoadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](TByteReader& in) { LoadFromStream(in); });
}

void TGIFSubImage::SaveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFSubImage::LoadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](TByteReader& in) {
        PixelBudget budget = PixelBudget::ForStream(in.Size());
        LoadFromStream(in, budget);
    });
}

void TGIFExtension::SaveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFExtension::LoadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](TByteReader& in) { LoadFromStream(in); });
}

}  // namespace gs
