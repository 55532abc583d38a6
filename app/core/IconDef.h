#pragma once
// One entry of the icon catalogue and the owning list of one listing. A definition keeps
// where its icon came from (file and position), its list name, which colour classes and
// exact sizes it has, and the two pictures the list shows, kept compact; the full icon is
// read again from its file the first time it is needed (preview, save) and then kept. No
// GUI type is held here: the windows make images of the pictures when they paint them.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/core/QBList.h"
#include "app/core/ListPicture.h"
#include "iconlib/Icon.h"

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
