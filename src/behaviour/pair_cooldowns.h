#pragma once
// When two pets may meet again, per unordered pair of pet identities. Kept
// flat and reserved for the whole pack at a rebuild, so a tick that records a
// cooldown allocates nothing.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pawlane {

class PairCooldowns {
public:
    // The key of an unordered pair: the smaller identity first.
    using Key = std::pair<std::uint64_t, std::uint64_t>;
    static Key key(std::uint64_t a, std::uint64_t b) { return a < b ? Key{a, b} : Key{b, a}; }

    std::optional<double> get(Key k) const {
        const auto it = find(k);
        if (it == entries_.end() || it->first != k) return std::nullopt;
        return it->second;
    }
    void set(Key k, double until) {
        const auto it = find(k);
        if (it != entries_.end() && it->first == k)
            it->second = until;
        else
            entries_.insert(it, {k, until});
    }
    // Empties the map and makes room for every pair of `pets` pets.
    void reset(std::size_t pets) {
        entries_.clear();
        entries_.reserve(pets * (pets > 0 ? pets - 1 : 0) / 2);
    }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

private:
    using Entry = std::pair<Key, double>;
    std::vector<Entry>::iterator find(Key k) {
        return std::lower_bound(entries_.begin(), entries_.end(), k,
                                [](const Entry& e, const Key& key) { return e.first < key; });
    }
    std::vector<Entry>::const_iterator find(Key k) const {
        return std::lower_bound(entries_.begin(), entries_.end(), k,
                                [](const Entry& e, const Key& key) { return e.first < key; });
    }
    std::vector<Entry> entries_;
};

}  // namespace pawlane
