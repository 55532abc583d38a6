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
    list.BeginIconUpdate();
    try {
        change();
    } catch (...) {
        list.EndIconUpdate();
        throw;
    }
    list.EndIconUpdate();
}
}  // namespace

void TIconList::EndIconUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) NotifyChange();
}

void TIconList::NotifyChange() {
    if (updateCount_ == 0 && onChange) onChange();
}

std::unique_ptr<TQBIcon> TIconList::CopyOf(const TQBIcon& icon) {
    auto copy = std::make_unique<TQBIcon>();
    copy->Assign(icon);
    return copy;
}

void TIconList::SetIconAt(int index, const TQBIcon& icon) {
    inUpdate(*this, [&] {
        if (index == IconCount()) icons_.emplace_back();
        icons_[checkedListIndex(index, icons_.size())] = CopyOf(icon);
    });
}

int TIconList::AddIcon(const TQBIcon& icon) {
    icons_.push_back(CopyOf(icon));
    NotifyChange();
    return IconCount() - 1;
}

void TIconList::InsertIcon(int index, const TQBIcon& icon) {
    const std::size_t at = checkedListIndex(index, icons_.size() + 1);  // the end too
    icons_.insert(icons_.begin() + std::ptrdiff_t(at), CopyOf(icon));
    NotifyChange();
}

void TIconList::DeleteIcon(int index) {
    icons_.erase(icons_.begin() + std::ptrdiff_t(checkedListIndex(index, icons_.size())));
    NotifyChange();
}

void TIconList::ClearIcons() {
    inUpdate(*this, [&] {
        while (!icons_.empty()) DeleteIcon(IconCount() - 1);
    });
}

void TIconList::ExchangeIcons(int index1, int index2) {
    std::swap(icons_[checkedListIndex(index1, icons_.size())], icons_[checkedListIndex(index2, icons_.size())]);
    NotifyChange();
}

void TIconList::MoveIcon(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    // Both ends are entries of the list as it is, checked before anything moves.
    const std::size_t to = checkedListIndex(newIndex, icons_.size());
    const std::size_t from = checkedListIndex(curIndex, icons_.size());
    auto icon = std::move(icons_[from]);
    icons_.erase(icons_.begin() + std::ptrdiff_t(from));
    icons_.insert(icons_.begin() + std::ptrdiff_t(to), std::move(icon));
    NotifyChange();
}

int TIconList::IndexOfIcon(const TQBIcon* icon) const {
    for (int i = 0; i < IconCount(); ++i)
        if (icons_[std::size_t(i)].get() == icon) return i;
    return -1;
}

namespace {

// The bytes of a list of `count` entries starting at `in`'s position: each entry's size word
// and the bytes it says, as far as they chain within the stream.
std::uint64_t listExtent(const TByteReader& in, std::uint32_t count) {
    TByteReader entries = in.Window(in.Pos(), in.Remaining());
    for (std::uint32_t i = 0; i < count && entries.Remaining() >= 4; ++i) {
        const auto size = std::int32_t(entries.U32());
        if (size <= 0) continue;
        if (std::uint64_t(size) > entries.Remaining()) break;
        entries.Skip(std::uint64_t(size));
    }
    return entries.Pos();
}

}  // namespace

void TIconList::LoadIcons(TByteReader& in) {
    inUpdate(*this, [&] {
        ClearIcons();
        if (in.Remaining() < 4) throw EReadError(kStreamRead);
        const std::uint32_t count = in.U32();
        if (count > in.Remaining() / 4) throw EReadError(kStreamRead);
        // Everything the entries hold is counted against the budget of the list's own bytes,
        // not of what follows it in the stream, so a list reads the same wherever it lies.
        TImageDataPool pool(listExtent(in, count), TIconRoom::Window);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (in.Remaining() < 4) throw EReadError(kStreamRead);
            const auto size = std::int32_t(in.U32());
            if (size <= 0) {
                icons_.emplace_back();
                continue;
            }
            if (std::uint64_t(size) > in.Remaining()) throw EReadError(kStreamRead);
            // The entry's icon file is read where it lies.
            const TByteReader entry = in.Window(in.Pos(), std::uint64_t(size));
            in.Skip(std::uint64_t(size));
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

void TIconList::SaveIcons(TByteWriter& out) const {
    out.U32(std::uint32_t(icons_.size()));
    for (const auto& icon : icons_) {
        TByteWriter one;
        if (icon) icon->SaveToStream(one);
        out.U32(std::uint32_t(one.Pos()));
        out.Bytes(one.Data());
    }
}

void TIconList::Assign(const TIconList& source) {
    if (&source == this) return;
    inUpdate(*this, [&] {
        ClearIcons();
        for (const auto& icon : source.icons_) {
            if (icon)
                AddIcon(*icon);
            else
                icons_.emplace_back();
        }
    });
}

void TIconList::Assign(const TQBIcon& icon) {
    inUpdate(*this, [&] {
        ClearIcons();
        AddIcon(icon);
    });
}

}  // namespace gs
