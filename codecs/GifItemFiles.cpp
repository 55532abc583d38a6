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
    ByteWriter out;
    item.saveToStream(out);
    writeFileAtomically(path, out.take());
}

// Reads the file through `load`; a block cut short is the format's "Premature end of data".
template <class Load>
void loadItem(const std::filesystem::path& path, Load load) {
    std::shared_ptr<const ByteSource> src = openFileSource(path);
    ByteReader in(*src);
    try {
        load(in);
    } catch (const EReadError&) {
        throw GIFException(gifmsg::kPrematureEnd);
    }
}

}  // namespace

void TGIFHeader::saveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFHeader::loadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](ByteReader& in) { loadFromStream(in); });
}

void TGIFSubImage::saveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFSubImage::loadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](ByteReader& in) {
        PixelBudget budget = PixelBudget::forStream(in.size());
        loadFromStream(in, budget);
    });
}

void TGIFExtension::saveToNamedFile(const std::filesystem::path& path) const { saveItem(*this, path); }

void TGIFExtension::loadFromNamedFile(const std::filesystem::path& path) {
    loadItem(path, [this](ByteReader& in) { loadFromStream(in); });
}

}  // namespace gs
