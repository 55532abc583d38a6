#pragma once
// The program's owning list: items are owned through unique_ptr, kept in insertion order
// unless sorted, freed when they leave the list (Take hands one out alive instead) and,
// when the list goes, freed from the last to the first. A list that only refers to items
// it does not own is a plain std::vector<T*>.
#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace gs {

template <class T>
class TQBList {
public:
    // Negative, zero or positive as a is before, equal to or after b; must be a strict
    // weak order (it may see null items when the list holds any).
    using Compare = std::function<int(const T* a, const T* b)>;

    TQBList() = default;
    TQBList(TQBList&&) noexcept = default;
    TQBList& operator=(TQBList&& other) noexcept {
        if (this != &other) {
            freeFromLast();
            items_ = std::move(other.items_);
        }
        return *this;
    }
    ~TQBList() { freeFromLast(); }

    int Count() const { return int(items_.size()); }
    std::size_t Capacity() const { return items_.capacity(); }

    // Appends the item (which may be null) and returns its index.
    int Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }

    T* GetItem(int index) const { return items_[checked(index)].get(); }
    T* operator[](int index) const { return GetItem(index); }

    // The index of this very object (not of an equal one), or -1.
    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item) return int(i);
        return -1;
    }

    // Frees every item, first to last, and releases the storage.
    void Clear() {
        for (auto& item : items_) item.reset();
        std::vector<std::unique_ptr<T>>().swap(items_);
    }

    // Takes the item out and frees it.
    void Delete(int index) { Take(index); }

    // Takes the first occurrence of this very object out and frees it; its former index,
    // or -1 when it is not in the list (nothing changes then).
    int Remove(const T* item) {
        int index = IndexOf(item);
        if (index >= 0) Delete(index);
        return index;
    }

    // Takes the item out and hands it to the caller alive.
    std::unique_ptr<T> Take(int index) {
        std::size_t i = checked(index);
        std::unique_ptr<T> item = std::move(items_[i]);
        items_.erase(items_.begin() + std::ptrdiff_t(i));
        return item;
    }

    // As Take, for this very object; null when it is not in the list.
    std::unique_ptr<T> TakeItem(const T* item) {
        int index = IndexOf(item);
        return index >= 0 ? Take(index) : nullptr;
    }

    // Sorts by `compare`; items that compare equal keep their order.
    void Sort(const Compare& compare) {
        std::stable_sort(items_.begin(), items_.end(),
                         [&](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) {
                             return compare(a.get(), b.get()) < 0;
                         });
    }

    void TrimCapacity() { items_.shrink_to_fit(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::size_t checked(int index) const {
        if (index < 0 || index >= Count()) throw EListError(index);
        return std::size_t(index);
    }
    void freeFromLast() {
        while (!items_.empty()) items_.pop_back();
    }

    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace gs
