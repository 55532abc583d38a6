#include "codecs/IconList.h"

#include <algorithm>
#include <stdexcept>

#include "codecs/CodecErrors.h"
#include "codecs/GraphicRoutines.h"
#include "platform/Errors.h"
#include "platform/ReadBudget.h"

namespace gs {

namespace {
constexpr const char* kInvalidIcon = "Icon image is not valid";

// Runs a change inside an update, so its notices come as one at the end.
template <class F>
void inUpdate(TIconList& list, F change) {
    list.beginIconUpdate();
    try {
        change();
    } catch (...) {
        list.endIconUpdate();
        throw;
    }
    list.endIconUpdate();
}
}  // namespace

void TIconList::endIconUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) notifyChange();
}

void TIconList::notifyChange() {
    if (updateCount_ == 0 && onChange) onChange();
}

std::unique_ptr<TQBIcon> TIconList::copyOf(const TQBIcon& icon) {
    auto copy = std::make_unique<TQBIcon>();
    copy->Assign(icon);
    return copy;
}

void TIconList::setIconAt(int index, const TQBIcon& icon) {
    inUpdate(*this, [&] {
        if (index == iconCount()) icons_.emplace_back();
        icons_[checkedListIndex(index, icons_.size())] = copyOf(icon);
    });
}

int TIconList::addIcon(const TQBIcon& icon) {
    icons_.push_back(copyOf(icon));
    notifyChange();
    return iconCount() - 1;
}

void TIconList::insertIcon(int index, const TQBIcon& icon) {
    const std::size_t at = checkedListIndex(index, icons_.size() + 1);  // the end too
    icons_.insert(icons_.begin() + std::ptrdiff_t(at), copyOf(icon));
    notifyChange();
}

void TIconList::deleteIcon(int index) {
    icons_.erase(icons_.begin() + std::ptrdiff_t(checkedListIndex(index, icons_.size())));
    notifyChange();
}

void TIconList::clearIcons() {
    inUpdate(*this, [&] {
        while (!icons_.empty()) deleteIcon(iconCount() - 1);
    });
}

void TIconList::exchangeIcons(int index1, int index2) {
    std::swap(icons_[checkedListIndex(index1, icons_.size())], icons_[checkedListIndex(index2, icons_.size())]);
    notifyChange();
}

void TIconList::moveIcon(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    // Both ends are entries of the list as it is, checked before anything moves.
    const std::size_t to = checkedListIndex(newIndex, icons_.size());
    const std::size_t from = checkedListIndex(curIndex, icons_.size());
    auto icon = std::move(icons_[from]);
    icons_.erase(icons_.begin() + std::ptrdiff_t(from));
    icons_.insert(icons_.begin() + std::ptrdiff_t(to), std::move(icon));
    notifyChange();
}

int TIconList::indexOfIcon(const TQBIcon* icon) const {
    for (int i = 0; i < iconCount(); ++i)
        if (icons_[std::size_t(i)].get() == icon) return i;
    return -1;
}

namespace {

// The bytes of a list of `count` entries starting at `in`'s position: each entry's size word
// and the bytes it says, as far as they chain within the stream.
std::uint64_t listExtent(const ByteReader& in, std::uint32_t count) {
    ByteReader entries = in.window(in.pos(), in.remaining());
    for (std::uint32_t i = 0; i < count && entries.remaining() >= 4; ++i) {
        const auto size = std::int32_t(entries.u32());
        if (size <= 0) continue;
        if (std::uint64_t(size) > entries.remaining()) break;
        entries.skip(std::uint64_t(size));
    }
    return entries.pos();
}

}  // namespace

void TIconList::loadIcons(ByteReader& in) {
    inUpdate(*this, [&] {
        clearIcons();
        if (in.remaining() < 4) throw EReadError(kStreamRead);
        const std::uint32_t count = in.u32();
        if (count > in.remaining() / 4) throw EReadError(kStreamRead);
        // Everything the entries hold is counted against the budget of the list's own bytes,
        // not of what follows it in the stream, so a list reads the same wherever it lies.
        TImageDataPool pool(listExtent(in, count), TIconRoom::Window);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (in.remaining() < 4) throw EReadError(kStreamRead);
            const auto size = std::int32_t(in.u32());
            if (size <= 0) {
                icons_.emplace_back();
                continue;
            }
            if (std::uint64_t(size) > in.remaining()) throw EReadError(kStreamRead);
            // The entry's icon file is read where it lies.
            const ByteReader entry = in.window(in.pos(), std::uint64_t(size));
            in.skip(std::uint64_t(size));
            auto icon = std::make_unique<TQBIcon>();
            try {
                pool.TakeObject("the icon of entry " + std::to_string(i + 1));
                if (!icon->LoadFromWindow(entry, pool)) throw EInvalidGraphic(kInvalidIcon);
            } catch (const EOverBudget& e) {
                throw EOverBudget(kStreamRead, e.Reason());
            }
            icons_.push_back(std::move(icon));
        }
    });
}

void TIconList::saveIcons(ByteWriter& out) const {
    out.u32(std::uint32_t(icons_.size()));
    for (const auto& icon : icons_) {
        ByteWriter one;
        if (icon) icon->SaveToStream(one);
        out.u32(std::uint32_t(one.pos()));
        out.bytes(one.data());
    }
}

void TIconList::assign(const TIconList& source) {
    if (&source == this) return;
    inUpdate(*this, [&] {
        clearIcons();
        for (const auto& icon : source.icons_) {
            if (icon)
                addIcon(*icon);
            else
                icons_.emplace_back();
        }
    });
}

void TIconList::assign(const TQBIcon& icon) {
    inUpdate(*this, [&] {
        clearIcons();
        addIcon(icon);
    });
}

}  // namespace gs
