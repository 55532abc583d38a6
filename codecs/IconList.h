#pragma once
// A list of icons, some entries possibly empty, with its own stream format: a 32-bit count,
// then per entry a 32-bit size (0 or less: empty) and that many bytes of an icon file.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "iconlib/Icon.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"

namespace gs {

class IIconModule;

class TIconList {
public:
    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    // Raised after every change, unless inside an update.
    std::function<void()> onChange;
    void BeginIconUpdate() { ++updateCount_; }
    void EndIconUpdate();

    int IconCount() const { return int(icons_.size()); }
    // None for an empty entry.
    const TQBIcon* IconAt(int index) const { return icons_[checkedListIndex(index, icons_.size())].get(); }
    // An index equal to the count appends an entry.
    void SetIconAt(int index, const TQBIcon& icon);
    int AddIcon(const TQBIcon& icon);
    void InsertIcon(int index, const TQBIcon& icon);
    void DeleteIcon(int index);
    void ClearIcons();
    void ExchangeIcons(int index1, int index2);
    void MoveIcon(int curIndex, int newIndex);
    int IndexOfIcon(const TQBIcon* icon) const;
    // The icon of the module's group `name` (see IIconModule), appended or inserted;
    // EResNotFound when the module has no such group, the list then unchanged.
    int AddIconResource(const IIconModule& module, const std::string& name);
    void InsertIconResource(int index, const IIconModule& module, const std::string& name);

    // The count and every size are checked against the bytes left before anything is made
    // ("Stream read error"); an entry that is no icon file is "Icon image is not valid",
    // the entries before it staying. The entries are read through one pool for the stream
    // (see TImageDataPool): a stream whose icons would hold more than its budget is
    // EOverBudget "Stream read error", its Reason saying why, the entries before it staying.
    void LoadIcons(TByteReader& in);
    void SaveIcons(TByteWriter& out) const;
    // The form property "Icons": the list's stream as raw bytes, read and written whole.
    TBytes IconsProperty() const;
    void SetIconsProperty(const TBytes& data);
    // Whether a form stores the property: the list is not empty and there is no ancestor
    // list, or the ancestor's count differs, or an entry differs from the ancestor's (an
    // icon file of other bytes, or one of the two empty).
    bool StoresIcons(const TIconList* ancestor) const;

    void Assign(const TIconList& source);
    void Assign(const TQBIcon& icon);

private:
    void NotifyChange();
    static std::unique_ptr<TQBIcon> CopyOf(const TQBIcon& icon);

    std::vector<std::unique_ptr<TQBIcon>> icons_;
    int updateCount_ = 0;
};

}  // namespace gs
