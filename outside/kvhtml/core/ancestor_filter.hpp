// What the ancestors of the element being styled are like: their tags, ids,
// classes and chosen attribute values, counted in a small table of hashes.
// A rule whose ancestor parts ask for something no ancestor has cannot
// match, and is passed over without walking the tree. The table may say
// "perhaps" wrongly, never "no".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

struct compound_selector;

class ancestor_filter {
public:
    // The hashes an ancestor must have for the compound to match it (at
    // most `room` of them, the most telling first: ids, attribute values,
    // classes, the tag); names of attributes tested for a value are added
    // to `attributes` (see push).
    static size_t wanted(const compound_selector& c, std::uint32_t* out, size_t room,
                         std::vector<std::string>& attributes);

    // An element becomes an ancestor: its tag, id, classes and the values
    // of the attributes named in `attributes`.
    void push(const element& e, const std::vector<std::string>& attributes);
    void pop();
    void clear();
    bool empty() const { return marks_.empty(); }

    bool may_have(std::uint32_t hash) const {
        return counts_[hash & mask] != 0 && counts_[(hash >> bits) & mask] != 0;
    }

private:
    static constexpr unsigned bits = 12;
    static constexpr std::uint32_t mask = (1u << bits) - 1;
    void add(std::uint32_t hash);

    std::array<std::uint8_t, 1u << bits> counts_{};
    std::vector<std::uint32_t> hashes_;  // of every element pushed, in order
    std::vector<size_t> marks_;          // where each element's hashes start
    bool saturated_ = false;             // a count is stuck at its top
};

}  // namespace kvhtml::core
