#include "mapfile/IdentityMap.h"

#include <stdexcept>

int32_t& IdentityMap::operator[](int32_t key) {
    if (!IsDense(key)) {
        auto [it, inserted] = sparse_.try_emplace(key, 0);
        size_ += inserted ? 1 : 0;
        return it->second;
    }
    if (dense_.empty()) {
        dense_.assign(kDenseSize, 0);
        present_.assign(kDenseSize / 64, 0);
    }
    const size_t slot = static_cast<size_t>(key - kDenseLow);
    const uint64_t bit = uint64_t{1} << (slot % 64);
    if ((present_[slot / 64] & bit) == 0) {
        present_[slot / 64] |= bit;
        dense_[slot] = 0;
        ++size_;
    }
    return dense_[slot];
}

bool IdentityMap::contains(int32_t key) const {
    if (!IsDense(key)) {
        return sparse_.count(key) != 0;
    }
    if (dense_.empty()) {
        return false;
    }
    const size_t slot = static_cast<size_t>(key - kDenseLow);
    return (present_[slot / 64] >> (slot % 64) & 1) != 0;
}

int32_t IdentityMap::Lookup(int32_t key, int32_t fallback) const {
    if (!IsDense(key)) {
        auto it = sparse_.find(key);
        return it == sparse_.end() ? fallback : it->second;
    }
    return contains(key) ? dense_[static_cast<size_t>(key - kDenseLow)] : fallback;
}

int32_t IdentityMap::at(int32_t key) const {
    if (!contains(key)) {
        throw std::out_of_range("no node under that identity");
    }
    return Lookup(key, 0);
}
