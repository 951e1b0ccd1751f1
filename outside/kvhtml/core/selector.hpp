// CSS selectors: parsing into a compiled form, specificity, and matching
// with a scope element that ":root" stands for.
#pragma once

#include <cstdint>
#include <memory>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

struct selector_list;

struct attribute_test {
    std::string name;
    char op = 0;  // 0 present, '=', '~', '|', '^', '$', '*'
    std::string value;
    bool ignore_case = false;
};

struct pseudo_class {
    enum kind_t { root, first_child, last_child, only_child, nth_child, nth_last_child, empty, negation, state } kind = root;
    int a = 0, b = 0;            // nth: a*n+b
    std::uint32_t bits = 0;      // state
    std::shared_ptr<selector_list> inner;  // negation
};

struct compound_selector {
    std::string tag;  // empty: any
    std::vector<std::string> ids;
    std::vector<std::string> classes;
    std::vector<attribute_test> attributes;
    std::vector<pseudo_class> pseudos;
};

struct complex_selector {
    std::vector<compound_selector> parts;   // left to right
    std::vector<char> combinators;          // between parts: ' ', '>', '+', '~'
    std::uint32_t specificity = 0;          // ids << 16 | classes << 8 | types
};

struct selector_list {
    std::vector<complex_selector> items;
};

// Nothing when the text is not a valid selector list.
std::optional<selector_list> parse_selector(std::string_view text);

// scope: what ":root" matches; null means the document's root element.
bool matches(const complex_selector& s, const element* e, const element* scope);
bool matches(const selector_list& s, const element* e, const element* scope);
// The two halves of matches(): the last compound alone, and the rest for an
// element whose last compound matched.
bool compound_matches(const compound_selector& c, const element* e, const element* scope);
bool matches_before_last(const complex_selector& s, const element* e, const element* scope);
// Equal keys mean equal compounds (compounds with :not() get unique keys).
std::string compound_key(const compound_selector& c);

// The compiled selector for a text, from a small cache (pages use the same
// few selectors over and over). Null when invalid.
std::shared_ptr<const selector_list> compiled_selector(std::string_view text);

// The elements below `under` (not itself) that match, in document order,
// with `under` as the scope of ":root"; uses the id index when the selector is a
// plain "#id".
void select_all(document& doc, element* under, const selector_list& sel, std::vector<element*>& out,
                size_t limit = SIZE_MAX);

}  // namespace kvhtml::core
