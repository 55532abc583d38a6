#pragma once
// One entry of the icon catalogue and the owning list of one listing. A definition keeps
// where its icon came from (file and position), its list name, which colour classes and
// exact sizes it has, and the two pictures the list shows, kept compact; the full icon is
// read again from its file the first time it is needed (preview, save) and then kept. No
// GUI type is held here: the windows make images of the pictures when they paint them.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/core/QBList.h"
#include "app/core/ListPicture.h"
#include "iconlib/Icon.h"
#include "iconlib/IconLibrary.h"

namespace gs {

// Colour flags of a definition (its Colors field).
inline constexpr std::uint8_t kHas16Colors = 0x01;
inline constexpr std::uint8_t kHas256Colors = 0x02;
// Size flags of a definition (its Sizes field): exact square images.
inline constexpr std::uint8_t kHas16x16 = 0x01;
inline constexpr std::uint8_t kHas32x32 = 0x02;
inline constexpr std::uint8_t kHas48x48 = 0x04;

class TIconDef {
public:
    TIconDef() = default;
    TIconDef(const TIconDef&) = delete;
    TIconDef& operator=(const TIconDef&) = delete;

    // Position of the icon within its file, as the icon library lists it (from 0).
    int IconIndex = -1;
    // File base name at extraction, then numbered when listed; the user may rename it.
    std::string Name;
    std::filesystem::path FileName;
    std::uint8_t Colors = 0;
    std::uint8_t Sizes = 0;
    // The list's large and small pictures.
    TListPicture Icon32;
    TListPicture Icon16;

    bool Loaded() const { return icon_ != nullptr; }
    // The full icon, read from FileName on first use and kept by the definition (callers
    // copy it to change it). The icon is matched by position only. Failures raise
    // EQBException (warning) and leave the definition as it was, so a later call retries.
    TQBIcon& GetIcon();
    // Gives the definition its full icon when the caller holds it already.
    void SetIcon(std::unique_ptr<TQBIcon> icon) { icon_ = std::move(icon); }

private:
    std::unique_ptr<TQBIcon> icon_;
};

// Reads the icons of one file into a library, as TQBIconLibrary::Read does (never raises).
using TIconFileReader = std::function<TIconsRead(TQBIconLibrary& into, const std::filesystem::path& file)>;
TIconsRead ReadIconFile(TQBIconLibrary& into, const std::filesystem::path& file);

// The full icons of the definitions one command works through (a save, a mail, a new
// library), each source file read once: the first definition of a file that needs its icon
// reads the file, and every definition of the set from that file that is not loaded yet
// takes its icon from that one read, as its own GetIcon would have read it. A module's
// reading costs the same whether one of its icons is wanted or all, so many icons of one
// module cost one reading, not one each. The checks and errors are GetIcon's, raised at
// the definition that meets them.
class TIconSetLoader {
public:
    explicit TIconSetLoader(const std::vector<TIconDef*>& defs, TIconFileReader reader = ReadIconFile);

    // The definition's full icon (it need not be one of the set).
    TQBIcon& GetIcon(TIconDef& def);

private:
    struct TSourceFile {
        std::vector<TIconDef*> waiting;  // the set's definitions of this file, in order
        int icons = -1;                  // icons the file held when read; -1 before
    };
    void readFile(TSourceFile& file, TIconDef& asking);

    std::unordered_map<std::string, TSourceFile> files_;
    TIconFileReader reader_;
};

// Adds the flags of the icon's images to the definition; flags are never taken away.
void FillImageFlags(TIconDef& def, const TQBIcon& icon);

// The definitions of one listing, owned.
class TIconsList {
public:
    int Add(std::unique_ptr<TIconDef> def) { return items_.Add(std::move(def)); }
    int Count() const { return items_.Count(); }
    TIconDef* GetItem(int index) const { return items_.GetItem(index); }
    TIconDef* operator[](int index) const { return items_.GetItem(index); }
    int IndexOf(const TIconDef* def) const { return items_.IndexOf(def); }
    // Removes and frees this very definition, never another with the same name and file;
    // false when it is not in the list.
    bool Remove(const TIconDef* def) { return items_.Remove(def) >= 0; }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    TQBList<TIconDef> items_;
};

}  // namespace gs
