#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// Int32 keys to Int32 values. A map load enters every node of a map, and the printers look a
// node up for every node they print, so the keys a map can hold (16-bit identities) go straight
// into a table; keys beyond 16 bits, which only an edit can bring, go to a hash map.
class IdentityMap {
public:
    // The value for `key`, entered with value 0 when absent.
    int32_t& operator[](int32_t key);
    int32_t Lookup(int32_t key, int32_t fallback) const;
    bool contains(int32_t key) const;
    int32_t at(int32_t key) const;
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    static constexpr int32_t kDenseLow = -32768;
    static constexpr size_t kDenseSize = 65536;
    static bool IsDense(int32_t key) { return key >= kDenseLow && key < kDenseLow + 65536; }

    std::vector<int32_t> dense_;
    std::vector<uint64_t> present_;  // one bit per dense slot
    std::unordered_map<int32_t, int32_t> sparse_;
    size_t size_ = 0;
};
