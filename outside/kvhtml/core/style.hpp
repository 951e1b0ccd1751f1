// The cascade: rules of the built-in sheet and of the page's sheets,
// indexed by the last part of their selectors, give each element its
// computed values; inline styles and the host's style values outrank them.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "outside/kvhtml/core/ancestor_filter.hpp"
#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

struct computed_style {
    std::array<const std::string*, property_count> values{};
    std::bitset<property_count> author_set;  // set by the page, not inherited or initial
    const std::string& operator[](property p) const { return *values[static_cast<size_t>(p)]; }
};

// How far a change among an element's children can change the behaviours
// its siblings name, through the page's rules that have structure and
// declare `behavior`: their siblings must be computed with the change
// itself, since the host hears of behaviours at once. Counts of siblings;
// `all` for no bound.
struct behavior_reach {
    static constexpr std::uint32_t all = UINT32_MAX;
    bool any = false;
    std::uint32_t after = 0;         // after an element inserted or removed
    std::uint32_t before = 0;        // before it
    std::uint32_t after_change = 0;  // after an element whose attributes or state changed
};

class style_engine {
public:
    enum origin : int { built_in = 0, author = 1 };

    style_engine();
    void clear_author_sheets();
    void add_sheet(std::shared_ptr<const stylesheet> sheet, origin o = author);
    bool sibling_sensitive() const { return sibling_sensitive_; }
    const behavior_reach& reach() const { return reach_; }

    // Computes the style of every element marked dirty (and below it), then
    // reports each behaviour name an element in the tree newly names.
    // changed_only leaves the siblings of changed elements for a later full
    // restyle (see document::mark_children_changed), except those whose
    // behaviours may change (see behavior_reach).
    using behavior_sink = std::function<void(element&, const std::string& name)>;
    void restyle(document& doc, const behavior_sink& sink = {}, bool changed_only = false);

    // The page's own value of a property for an element (author sheets,
    // style attribute, host values), empty when the page sets none.
    std::string specified(document& doc, element* e, std::string_view name);

private:
    struct rule_entry {
        const complex_selector* selector;
        const declaration_block* declarations;
        std::uint32_t specificity;
        std::uint32_t order;
        int origin;
        std::uint32_t group;  // rules whose last compound is the same share one test
        // What the element's ancestors must have for the rule to match.
        std::array<std::uint32_t, 4> ancestors{};
        std::uint8_t ancestor_count = 0;
    };
    void compute(element* e);
    const declaration_block& inline_block(const std::string& text);
    std::shared_ptr<const computed_style> shared_style(std::size_t key, const computed_style* parent,
                                                       const declaration_block* inline_style) const;
    void forget_shared();
    void restyle_subtree(element* e, bool in_tree, const behavior_sink& sink);
    const std::string* intern(const std::string& value);
    void collect(const element* e, std::vector<const rule_entry*>& out);
    bool ancestors_may_match(const rule_entry& r) const;

    std::vector<std::shared_ptr<const stylesheet>> sheets_;
    std::unordered_map<std::string, std::vector<rule_entry>> by_id_, by_class_, by_tag_;
    std::vector<rule_entry> universal_;
    std::uint32_t next_order_ = 0;
    std::unordered_map<std::string, std::uint32_t> groups_;
    bool sibling_sensitive_ = false;
    behavior_reach reach_;
    std::unordered_set<std::string> pool_;
    std::array<const std::string*, property_count> initial_{};
    // While a restyle walks the tree: the elements above the one computed.
    // Not used by a restyle the host's callbacks start inside another one.
    ancestor_filter filter_;
    std::vector<std::string> filter_attributes_;
    bool filtering_ = false;
    int restyle_depth_ = 0;
    std::vector<element*> chain_;
    // Elements with the same parent style, style attribute and matched
    // rules get the same style: computed once, shared (most elements of a
    // list look like their cousins). Emptied when the rules change.
    struct shared_entry {
        std::shared_ptr<const computed_style> parent;  // held, so that its address stays its own
        const declaration_block* inline_style;
        size_t first_rule, rule_count;  // in shared_rules_
        std::shared_ptr<const computed_style> style;
    };
    std::unordered_multimap<std::size_t, shared_entry> shared_;
    std::vector<const rule_entry*> shared_rules_;
    std::unordered_map<std::string, declaration_block> inline_blocks_;  // style attributes parsed
    // Scratch space reused for every element.
    std::vector<const rule_entry*> matched_;
    std::vector<std::string_view> seen_classes_;
    std::string key_;
};

// Visible when it and every ancestor up to the document root are displayed
// and its own visibility is "visible". Styles must be current.
bool is_visible(const element* e);

}  // namespace kvhtml::core
