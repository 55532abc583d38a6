#pragma once
// Picture classes found by a file's extension, and a picture that loads a file through the
// class registered for its extension:
//
//     gs::TPicture picture;              // the process's formats: ".gif" is a TRxGIFImage
//     picture.LoadFromFile("anim.gif");
//     auto* gif = dynamic_cast<gs::TRxGIFImage*>(picture.Graphic());
//
// Extensions are told apart without regard to case; when two classes register the same
// extension, the later registration is the one found.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

// What the picture registry asks of a picture class.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void LoadFromSource(const IByteSource& src) = 0;
    // The destination takes the picture as one bitmap.
    virtual void AssignTo(TRaster& dest) const = 0;
};

struct TFileFormat {
    std::string extension;  // without the dot, in lower case
    std::string description;
    std::type_index graphicClass;
    std::function<std::unique_ptr<TGraphic>()> make;
};

class TFileFormats {
public:
    template <class Graphic>
    void Add(std::string_view extension, std::string description) {
        Add(extension, std::move(description), typeid(Graphic), [] { return std::make_unique<Graphic>(); });
    }
    template <class Graphic>
    void Remove() {
        Remove(typeid(Graphic));
    }
    // The class registered last for the extension (with or without its dot); none when no
    // class is.
    const TFileFormat* Find(std::string_view extension) const;
    const std::vector<TFileFormat>& Formats() const { return formats_; }

private:
    void Add(std::string_view extension, std::string description, std::type_index graphicClass,
             std::function<std::unique_ptr<TGraphic>()> make);
    void Remove(std::type_index graphicClass);

    std::vector<TFileFormat> formats_;
};

inline constexpr const char* kUnknownPictureExtension = "Unknown picture file extension";

// The process's picture formats, made on first use with the GIF image registered for "GIF"
// as "GIF Image", then the splash-picture graphic for "gif" as "CompuServe GIF Image" (the
// later one, which a ".gif" name finds).
TFileFormats& PictureFileFormats();

// A picture of whichever registered class its file's extension names.
class TPicture {
public:
    explicit TPicture(const TFileFormats& formats = PictureFileFormats()) : formats_(formats) {}
    // A new graphic of the extension's class loads the file; the picture keeps it only when
    // it loaded. EInvalidGraphic "Unknown picture file extension (.ext)" for an extension
    // no class is registered for; EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::filesystem::path& path);
    TGraphic* Graphic() const { return graphic_.get(); }

private:
    const TFileFormats& formats_;
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace gs
