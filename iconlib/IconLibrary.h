#pragma once
// The icons of one file: an icon file, a 32-bit or 64-bit PE module, or a 16-bit NE module
// or icon library, held as a named, owned list of icons.
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "iconlib/Icon.h"
#include "iconlib/IconErrors.h"

namespace gs {

// Names with owned icons, in order. Duplicate names are allowed.
class TQBIconList {
public:
    int Count() const { return int(items_.size()); }
    // Nothing for a null icon; an empty name becomes "Icon N" with N = Count + 1.
    void AddIcon(std::string name, std::unique_ptr<TQBIcon> icon);
    // An index outside the list raises EQBICLReadError ("List index out of bounds (N)").
    TQBIcon* GetIcon(int index) const { return item(index).second.get(); }
    const std::string& Name(int index) const { return item(index).first; }
    void SetName(int index, std::string name) { item(index).first = std::move(name); }
    // Nothing for an index outside the list.
    void Delete(int index);
    void Clear() { items_.clear(); }
    // Frees the icons held and takes over the other list's names and icons.
    void TakeOver(TQBIconList&& other) { items_ = std::move(other.items_); }

private:
    using Item = std::pair<std::string, std::unique_ptr<TQBIcon>>;
    Item& item(int index);
    const Item& item(int index) const;

    std::vector<Item> items_;
};

// A reader of one kind of module; Read fills Icons, which the library then takes over.
class TQBICLReader {
public:
    // `source` is the file already open, when the caller has it; otherwise it is opened.
    explicit TQBICLReader(std::filesystem::path fileName, std::shared_ptr<const IByteSource> source = nullptr)
        : FileName(std::move(fileName)), Source(std::move(source)) {}
    virtual ~TQBICLReader() = default;
    virtual bool Read() = 0;
    // Why the last Read returned false, when the reader knows.
    virtual std::string FailureReason() const { return {}; }

    std::filesystem::path FileName;
    TQBIconList Icons;

protected:
    std::shared_ptr<const IByteSource> Source;
};

// Icon groups of a PE module, in directory order, each under its id in decimal or its name.
class TQB32BitReader : public TQBICLReader {
public:
    using TQBICLReader::TQBICLReader;
    // A module whose headers the caller has read already.
    TQB32BitReader(std::filesystem::path fileName, std::shared_ptr<const TPeModule> module)
        : TQBICLReader(std::move(fileName)), Module(std::move(module)) {}
    // False when the file is not a readable module; errors reading a resource raise.
    bool Read() override;

private:
    std::shared_ptr<const TPeModule> Module;
};

// What reading a file made of it, so that a caller can refuse to overwrite a library that
// could not be read: its icons were read; it holds none the desktop would count; its reader
// refused it (a damaged 16-bit module, an icon file whose header went bad); or reading it
// raised (Read only: LoadFromFile raises instead).
enum class TLoadResult { Read, NoIcons, Refused, Failed };

struct TIconsRead {
    TLoadResult Result = TLoadResult::NoIcons;
    std::string Reason;  // for Refused (when the reader knows) and Failed
};

// One icon of a library being written, by reference: the icon stays its owner's.
struct TIconLibraryEntry {
    std::string Name;  // empty: "Icon N" after its position
    const TQBIcon* Icon = nullptr;
};

// Writes the icons as an icon library (16-bit resource-only module), whole. EQBICLWriteError
// for no icons or more than 32767; the icons are only read.
void SaveIconLibrary(const std::filesystem::path& fileName, std::vector<TIconLibraryEntry> entries);

class TQBIconLibrary {
public:
    TQBIconLibrary() = default;
    virtual ~TQBIconLibrary() = default;
    TQBIconLibrary(const TQBIconLibrary&) = delete;
    TQBIconLibrary& operator=(const TQBIconLibrary&) = delete;

    // Fills Icons from a module (replacing them) or an icon file (appending one icon).
    // A file that yields no icons leaves FileName and Icons as they were. A file that
    // cannot be opened raises EFOpenError; a module resource that cannot be read raises.
    TLoadResult LoadFromFile(const std::filesystem::path& fileName);
    // LoadFromFile without exceptions: what happened and why, for callers that only choose
    // whether to go on. The file is opened and parsed once.
    TIconsRead Read(const std::filesystem::path& fileName) noexcept;
    // Writes the library as an icon library (16-bit resource-only module).
    void SaveToFile(const std::filesystem::path& fileName) const;
    // The icons as entries of a library to write (referring to this library's icons).
    std::vector<TIconLibraryEntry> Entries() const;

    std::filesystem::path FileName;
    TQBIconList Icons;
};

// How many icons the desktop would count in a file: the number of icon groups of a module,
// 1 for an icon file with images, 0 for anything that cannot be read.
int GetIconCount(const std::filesystem::path& fileName);

// The first icon of an icon file, a module or an icon library, as a listing of the file
// shows it first; null when the file holds none or cannot be read. Never raises.
std::unique_ptr<TQBIcon> ReadFirstIcon(const std::filesystem::path& fileName) noexcept;

enum class TModuleKind { None, PE, NE };
// Probe of the MZ header and the new header's signature.
TModuleKind ProbeModule(const IByteSource& src);

}  // namespace gs
