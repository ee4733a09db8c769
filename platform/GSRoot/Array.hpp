// GS::Array: the host's growable array, with the host's names over a std::vector.
#pragma once

#include "Definitions.hpp"
#include "GSException.hpp"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace GS {

template <typename T>
class Array {
public:
    Array() = default;
    Array(std::initializer_list<T> items) : items_(items) {}

    void Push(const T& item) { items_.push_back(item); }
    void Push(T&& item) { items_.push_back(std::move(item)); }
    void Insert(UIndex index, const T& item) { items_.insert(items_.begin() + CheckedIndex(index, true), item); }
    void Delete(UIndex index) { items_.erase(items_.begin() + CheckedIndex(index, false)); }
    void Clear() { items_.clear(); }
    void SetCapacity(USize capacity) { items_.reserve(capacity); }

    USize GetSize() const { return static_cast<USize>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

    T& operator[](UIndex index) { return items_[CheckedIndex(index, false)]; }
    const T& operator[](UIndex index) const { return items_[CheckedIndex(index, false)]; }
    T& GetFirst() { return (*this)[0]; }
    T& GetLast() { return (*this)[GetSize() - 1]; }

    UIndex FindFirst(const T& item) const
    {
        const auto position = std::find(items_.begin(), items_.end(), item);
        return position == items_.end() ? MaxUIndex : static_cast<UIndex>(position - items_.begin());
    }
    bool Contains(const T& item) const { return FindFirst(item) != MaxUIndex; }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool operator==(const Array& other) const { return items_ == other.items_; }

private:
    // Stricter than the host, whose index check is a debug assertion: a bad index raises what the kit's
    // REF_CHECK_R raises instead of reading past the end.
    std::size_t CheckedIndex(UIndex index, bool allowEnd) const
    {
        if (index > items_.size() || (!allowEnd && index == items_.size()))
            throw IllegalReferenceException("Array index out of range");
        return index;
    }

    std::vector<T> items_;
};

}  // namespace GS
