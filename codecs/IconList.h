#pragma once
// A list of icons, some entries possibly empty, with its own stream format: a 32-bit count,
// then per entry a 32-bit size (0 or less: empty) and that many bytes of an icon file.
#include <functional>
#include <memory>
#include <vector>

#include "iconlib/Icon.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace gs {

class TIconList {
public:
    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    // Raised after every change, unless inside an update.
    std::function<void()> onChange;
    void beginIconUpdate() { ++updateCount_; }
    void endIconUpdate();

    int iconCount() const { return int(icons_.size()); }
    // None for an empty entry.
    const TQBIcon* iconAt(int index) const { return icons_.at(std::size_t(index)).get(); }
    // An index equal to the count appends an entry.
    void setIconAt(int index, const TQBIcon& icon);
    int addIcon(const TQBIcon& icon);
    void insertIcon(int index, const TQBIcon& icon);
    void deleteIcon(int index);
    void clearIcons();
    void exchangeIcons(int index1, int index2);
    void moveIcon(int curIndex, int newIndex);
    int indexOfIcon(const TQBIcon* icon) const;

    // The count and every size are checked against the bytes left before anything is made
    // ("Stream read error"); an entry that is no icon file is "Icon image is not valid",
    // the entries before it staying.
    void loadIcons(ByteReader& in);
    void saveIcons(ByteWriter& out) const;

    void assign(const TIconList& source);
    void assign(const TQBIcon& icon);

private:
    void notifyChange();
    static std::unique_ptr<TQBIcon> copyOf(const TQBIcon& icon);

    std::vector<std::unique_ptr<TQBIcon>> icons_;
    int updateCount_ = 0;
};

}  // namespace gs
