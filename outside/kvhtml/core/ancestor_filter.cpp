#include "outside/kvhtml/core/ancestor_filter.hpp"

#include <algorithm>

#include "outside/kvhtml/core/selector.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

// FNV-1a over a kind mark and up to two strings (an attribute's name and
// value); the kinds keep a class "x" apart from a tag "x".
std::uint32_t feature(char kind, std::string_view a, std::string_view b = {}) {
    std::uint32_t h = 2166136261u;
    auto mix = [&](unsigned char c) {
        h ^= c;
        h *= 16777619u;
    };
    mix(static_cast<unsigned char>(kind));
    for (char c : a) mix(static_cast<unsigned char>(c));
    if (kind == '[') {
        mix('=');
        for (char c : b) mix(static_cast<unsigned char>(c));
    }
    return h;
}

}  // namespace

size_t ancestor_filter::wanted(const compound_selector& c, std::uint32_t* out, size_t room,
                               std::vector<std::string>& attributes) {
    size_t n = 0;
    auto take = [&](std::uint32_t h) {
        if (n < room) out[n++] = h;
    };
    for (auto& id : c.ids) take(feature('#', id));
    for (auto& a : c.attributes) {
        if (a.op != '=' || a.ignore_case || n >= room) continue;
        take(feature('[', a.name, a.value));
        if (std::find(attributes.begin(), attributes.end(), a.name) == attributes.end()) attributes.push_back(a.name);
    }
    for (auto& cls : c.classes) take(feature('.', cls));
    if (!c.tag.empty()) take(feature('<', c.tag));
    return n;
}

void ancestor_filter::add(std::uint32_t hash) {
    hashes_.push_back(hash);
    for (std::uint32_t slot : {hash & mask, (hash >> bits) & mask}) {
        if (counts_[slot] == 0xFF) continue;  // a full count stays: "perhaps" until all is popped
        if (++counts_[slot] == 0xFF) saturated_ = true;
    }
}

void ancestor_filter::push(const element& e, const std::vector<std::string>& attributes) {
    marks_.push_back(hashes_.size());
    add(feature('<', e.tag));
    for (auto& a : e.attributes) {
        if (a.first == "id") add(feature('#', a.second));
        else if (a.first == "class") for_each_word(a.second, [&](std::string_view w) { add(feature('.', w)); });
        if (std::find(attributes.begin(), attributes.end(), a.first) != attributes.end())
            add(feature('[', a.first, a.second));
    }
}

void ancestor_filter::pop() {
    if (marks_.empty()) return;
    for (size_t i = marks_.back(); i < hashes_.size(); ++i) {
        for (std::uint32_t slot : {hashes_[i] & mask, (hashes_[i] >> bits) & mask})
            if (counts_[slot] != 0xFF) --counts_[slot];
    }
    hashes_.resize(marks_.back());
    marks_.pop_back();
    if (marks_.empty() && saturated_) clear();
}

void ancestor_filter::clear() {
    counts_.fill(0);
    hashes_.clear();
    marks_.clear();
    saturated_ = false;
}

}  // namespace kvhtml::core
