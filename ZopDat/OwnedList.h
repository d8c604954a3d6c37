// A list that owns its entries and copies them deeply: the parameter lists of a job are built of it.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

template <typename T> class OwnedList {
public:
    OwnedList() = default;
    OwnedList(const OwnedList& other) {
        entries_.reserve(other.entries_.size());
        for (const auto& entry : other.entries_) {
            entries_.push_back(std::make_unique<T>(*entry));
        }
    }
    OwnedList& operator=(const OwnedList& other) {
        if (this != &other) {
            OwnedList copy(other);
            entries_.swap(copy.entries_);
        }
        return *this;
    }

    int Count() const { return static_cast<int>(entries_.size()); }
    // The entry at index, or null when the index is outside the list.
    T* Get(int index) const {
        if (index < 0 || index >= Count()) {
            return nullptr;
        }
        return entries_[static_cast<std::size_t>(index)].get();
    }
    // Takes the entry over; a null entry is left out.
    void Add(T* entry) {
        if (entry != nullptr) {
            entries_.push_back(std::unique_ptr<T>(entry));
        }
    }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::unique_ptr<T>> entries_;
};
