#include "outside/kvhtml/core/style.hpp"

#include <algorithm>

#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

// What every page starts from.
const char built_in_sheet[] = R"(
html, body, div, p, ul, ol, dl, dd, dt, h1, h2, h3, h4, h5, h6, form, fieldset, header, footer, section, article,
aside, nav, main, blockquote, pre, address, figure, figcaption, hr, center, frameset, frame, details, summary,
menu, options, legend, caption, popup, widget { display: block }
li { display: list-item }
head, script, style, title, meta, link, base, template, noscript, [hidden] { display: none }
table { display: table } tr { display: table-row } td, th { display: table-cell }
thead { display: table-header-group } tbody { display: table-row-group } tfoot { display: table-footer-group }
col { display: table-column } colgroup { display: table-column-group }
img, input, button, select, textarea, progress, meter { display: inline-block }
option { display: block }
body { margin: 8px }
p, ul, ol, dl, blockquote, pre { margin-top: 1em; margin-bottom: 1em }
ul, ol { padding-left: 40px }
h1 { font-size: 2em; font-weight: bold } h2 { font-size: 1.5em; font-weight: bold }
h3 { font-size: 1.17em; font-weight: bold } h4, h5, h6, th, b, strong { font-weight: bold }
i, em { font-style: italic } u { text-decoration: underline }
pre { white-space: pre } a { color: blue; text-decoration: underline; cursor: pointer }
th { text-align: center }
)";

bool has_structure(const selector_list& l);
bool has_structure(const complex_selector& s) {
    for (char c : s.combinators)
        if (c == '+' || c == '~') return true;
    for (auto& p : s.parts)
        for (auto& ps : p.pseudos) {
            if (ps.kind == pseudo_class::negation ? has_structure(*ps.inner)
                                                  : ps.kind != pseudo_class::state && ps.kind != pseudo_class::root)
                return true;
        }
    return false;
}
bool has_structure(const selector_list& l) {
    for (auto& s : l.items)
        if (has_structure(s)) return true;
    return false;
}

// What a selector looks at among siblings: '+' steps, and whether it
// counts positions from the front or the back, or looks at all earlier
// siblings.
struct sibling_use {
    std::uint32_t adjacent = 0;  // '+' combinators, :not() included
    bool any_earlier = false;    // '~'
    bool first = false, last = false, nth = false, nth_last = false;
};

void add_sibling_use(const complex_selector& s, sibling_use& u) {
    for (char c : s.combinators) {
        if (c == '+') ++u.adjacent;
        if (c == '~') u.any_earlier = true;
    }
    for (auto& part : s.parts)
        for (auto& ps : part.pseudos) {
            switch (ps.kind) {
            case pseudo_class::first_child: u.first = true; break;
            case pseudo_class::last_child: u.last = true; break;
            case pseudo_class::only_child: u.first = u.last = true; break;
            case pseudo_class::nth_child: u.nth = true; break;
            case pseudo_class::nth_last_child: u.nth_last = true; break;
            case pseudo_class::negation:
                for (auto& inner : ps.inner->items) add_sibling_use(inner, u);
                break;
            default: break;
            }
        }
}

// An element's match depends on the siblings up to `adjacent` places before
// it (and on whether one of them is first or last); an insertion or
// removal shifts the positions of all that follow.
void widen(behavior_reach& r, const complex_selector& s) {
    sibling_use u;
    add_sibling_use(s, u);
    auto most = [](std::uint32_t& to, std::uint32_t v) { to = std::max(to, v); };
    r.any = true;
    most(r.after, u.nth || u.any_earlier ? behavior_reach::all : u.adjacent + (u.first ? 1 : 0));
    most(r.before, u.nth_last ? behavior_reach::all : (u.last ? 1 : 0));
    most(r.after_change, u.any_earlier ? behavior_reach::all : u.adjacent);
}

bool declares_behavior(const declaration_block& b) {
    return std::any_of(b.begin(), b.end(), [](const declaration& d) { return d.id == property::behavior; });
}

}  // namespace

style_engine::style_engine() {
    for (size_t i = 0; i < property_count; ++i) initial_[i] = intern(std::string(info(static_cast<property>(i)).initial));
    add_sheet(std::make_shared<const stylesheet>(parse_stylesheet(built_in_sheet)), built_in);
}

const std::string* style_engine::intern(const std::string& value) { return &*pool_.insert(value).first; }

void style_engine::clear_author_sheets() {
    // The built-in sheet is always the first one.
    std::shared_ptr<const stylesheet> keep = sheets_.front();
    sheets_.clear();
    by_id_.clear();
    by_class_.clear();
    by_tag_.clear();
    universal_.clear();
    next_order_ = 0;
    groups_.clear();
    filter_attributes_.clear();
    forget_shared();
    sibling_sensitive_ = false;
    reach_ = {};
    add_sheet(std::move(keep), built_in);
}

void style_engine::add_sheet(std::shared_ptr<const stylesheet> sheet, origin o) {
    for (auto& rule : sheet->rules) {
        if (o == author && has_structure(rule.selectors)) sibling_sensitive_ = true;
        bool names_behavior = o == author && declares_behavior(*rule.declarations);
        for (auto& s : rule.selectors.items) {
            if (names_behavior && has_structure(s)) widen(reach_, s);
            const compound_selector& last = s.parts.back();
            auto group = groups_.emplace(compound_key(last), static_cast<std::uint32_t>(groups_.size())).first->second;
            rule_entry entry{&s, rule.declarations.get(), s.specificity, next_order_++, o, group};
            // Parts left of ' ' or '>' match ancestors of the element (a
            // sibling's ancestors are the element's too).
            for (size_t k = 0; k + 1 < s.parts.size(); ++k)
                if (s.combinators[k] == ' ' || s.combinators[k] == '>')
                    entry.ancestor_count += static_cast<std::uint8_t>(ancestor_filter::wanted(
                        s.parts[k], entry.ancestors.data() + entry.ancestor_count,
                        entry.ancestors.size() - entry.ancestor_count, filter_attributes_));
            if (!last.ids.empty()) by_id_[last.ids[0]].push_back(entry);
            else if (!last.classes.empty()) by_class_[last.classes[0]].push_back(entry);
            else if (!last.tag.empty()) by_tag_[last.tag].push_back(entry);
            else universal_.push_back(entry);
        }
    }
    sheets_.push_back(std::move(sheet));
    forget_shared();  // the rules' entries move
    // Same last compounds side by side; the cascade orders by `order` later.
    auto by_group = [](const rule_entry& a, const rule_entry& b) { return a.group < b.group; };
    for (auto* index : {&by_id_, &by_class_, &by_tag_})
        for (auto& [key, list] : *index) std::stable_sort(list.begin(), list.end(), by_group);
    std::stable_sort(universal_.begin(), universal_.end(), by_group);
}

void style_engine::collect(const element* e, std::vector<const rule_entry*>& out) {
    auto take = [&](const std::vector<rule_entry>& list) {
        std::uint32_t group = UINT32_MAX;
        bool last_matches = false;
        for (auto& r : list) {
            if (r.group != group) {
                group = r.group;
                last_matches = compound_matches(r.selector->parts.back(), e, nullptr);
            }
            if (last_matches && ancestors_may_match(r) && matches_before_last(*r.selector, e, nullptr))
                out.push_back(&r);
        }
    };
    if (!by_id_.empty())
        if (const std::string* id = e->attribute("id")) {
            auto it = by_id_.find(*id);
            if (it != by_id_.end()) take(it->second);
        }
    if (!by_class_.empty())
        if (const std::string* cls = e->attribute("class")) {
            // A class named twice in the attribute must not apply its rules twice.
            seen_classes_.clear();
            for_each_word(*cls, [&](std::string_view w) {
                if (std::find(seen_classes_.begin(), seen_classes_.end(), w) != seen_classes_.end()) return;
                seen_classes_.push_back(w);
                key_.assign(w);
                auto it = by_class_.find(key_);
                if (it != by_class_.end()) take(it->second);
            });
        }
    auto it = by_tag_.find(e->tag);
    if (it != by_tag_.end()) take(it->second);
    take(universal_);
}

bool style_engine::ancestors_may_match(const rule_entry& r) const {
    if (!filtering_) return true;
    for (std::uint8_t i = 0; i < r.ancestor_count; ++i)
        if (!filter_.may_have(r.ancestors[i])) return false;
    return true;
}

void style_engine::forget_shared() {
    shared_.clear();
    shared_rules_.clear();
    inline_blocks_.clear();
}

const declaration_block& style_engine::inline_block(const std::string& text) {
    auto it = inline_blocks_.find(text);
    if (it != inline_blocks_.end()) return it->second;
    if (inline_blocks_.size() >= 1024) forget_shared();  // the shared styles point into it
    return inline_blocks_.emplace(text, parse_declarations(text)).first->second;
}

std::shared_ptr<const computed_style> style_engine::shared_style(std::size_t key, const computed_style* parent,
                                                                 const declaration_block* inline_style) const {
    auto [from, to] = shared_.equal_range(key);
    for (auto it = from; it != to; ++it) {
        const shared_entry& s = it->second;
        if (s.parent.get() == parent && s.inline_style == inline_style && s.rule_count == matched_.size() &&
            std::equal(matched_.begin(), matched_.end(), shared_rules_.begin() + static_cast<std::ptrdiff_t>(s.first_rule)))
            return s.style;
    }
    return nullptr;
}

void style_engine::compute(element* e) {
    const std::shared_ptr<const computed_style>* parent_style = e->parent && e->parent->style ? &e->parent->style : nullptr;
    const computed_style* parent = parent_style ? parent_style->get() : nullptr;

    std::vector<const rule_entry*>& matched = matched_;
    matched.clear();
    collect(e, matched);
    std::sort(matched.begin(), matched.end(), [](const rule_entry* a, const rule_entry* b) {
        if (a->origin != b->origin) return a->origin < b->origin;
        if (a->specificity != b->specificity) return a->specificity < b->specificity;
        return a->order < b->order;
    });
    const std::string* style_text = e->attribute("style");
    const declaration_block* inline_style = style_text ? &inline_block(*style_text) : nullptr;

    // The host's own values make a style of the element's own.
    bool shareable = e->style_overrides.empty();
    std::size_t key = 0;
    if (shareable) {
        auto mix = [&](const void* p) {
            key ^= std::hash<const void*>{}(p) + 0x9e3779b97f4a7c15ull + (key << 6) + (key >> 2);
        };
        mix(parent);
        mix(inline_style);
        for (const rule_entry* r : matched) mix(r);
        if (auto same = shared_style(key, parent, inline_style)) {
            e->style = std::move(same);
            return;
        }
    }

    auto made = std::make_shared<computed_style>();
    computed_style& cs = *made;
    for (size_t i = 0; i < property_count; ++i)
        cs.values[i] = parent && info(static_cast<property>(i)).inherited ? parent->values[i] : initial_[i];

    auto apply = [&](const declaration& d, bool by_page) {
        size_t i = static_cast<size_t>(d.id);
        if (d.value == "inherit") cs.values[i] = parent ? parent->values[i] : initial_[i];
        else if (d.value == "initial") cs.values[i] = initial_[i];
        else if (d.value == "unset")
            cs.values[i] = parent && info(d.id).inherited ? parent->values[i] : initial_[i];
        else {
            if (!d.interned) d.interned = intern(d.value);
            cs.values[i] = d.interned;
        }
        if (by_page) cs.author_set.set(i);
    };

    static const declaration_block none;
    const declaration_block& inline_decls = inline_style ? *inline_style : none;
    declaration_block host_style;
    for (auto& o : e->style_overrides) expand_declaration(o.first, o.second, false, host_style);

    for (const rule_entry* r : matched)
        for (auto& d : *r->declarations)
            if (!d.important) apply(d, r->origin == author);
    for (auto& d : inline_decls)
        if (!d.important) apply(d, true);
    for (auto& d : host_style) apply(d, true);
    for (const rule_entry* r : matched)
        for (auto& d : *r->declarations)
            if (d.important) apply(d, r->origin == author);
    for (auto& d : inline_decls)
        if (d.important) apply(d, true);
    // The host's values outrank even an important rule of the page: the
    // program hides and shows elements whatever the sheet says.
    for (auto& d : host_style) apply(d, true);

    if (shareable) {
        if (shared_.size() >= 4096) {
            shared_.clear();
            shared_rules_.clear();
        }
        shared_.emplace(key, shared_entry{parent_style ? *parent_style : nullptr, inline_style,
                                          shared_rules_.size(), matched.size(), made});
        shared_rules_.insert(shared_rules_.end(), matched.begin(), matched.end());
    }
    e->style = std::move(made);
}

void style_engine::restyle_subtree(element* e, bool in_tree, const behavior_sink& sink) {
    compute(e);
    e->style_dirty = false;
    if (in_tree && sink) {
        const std::string& names = (*e->style)[property::behavior];
        if (names != "none") {
            std::vector<std::string> wanted;
            std::string cur;
            for (char c : names + ",") {
                if (c == ',' || is_space(c)) {
                    if (!cur.empty()) wanted.push_back(std::move(cur));
                    cur.clear();
                } else {
                    cur += c;
                }
            }
            for (auto& w : wanted) {
                if (std::find(e->behaviors.begin(), e->behaviors.end(), w) != e->behaviors.end()) continue;
                e->behaviors.push_back(w);
                sink(*e, w);
                if (e->dead) return;  // the host deleted it while attaching
            }
        }
    }
    // The list may change under a behaviour's hands: walk by index. A
    // change that moves elements marks them dirty, and the next round
    // computes them with their new ancestors.
    if (filtering_) filter_.push(*e, filter_attributes_);
    for (size_t i = 0; i < e->kids.size(); ++i) restyle_subtree(e->kids[i], in_tree, sink);
    if (filtering_) filter_.pop();
}

namespace {
// Restores the engine's filtering state however a restyle ends.
struct restore_on_exit {
    bool& flag;
    int& depth;
    bool saved = flag;
    ~restore_on_exit() {
        flag = saved;
        --depth;
    }
};
}  // namespace

void style_engine::restyle(document& doc, const behavior_sink& sink, bool changed_only) {
    restore_on_exit restore{filtering_, ++restyle_depth_};
    // Behaviours may change the tree while we go; repeat until quiet, but
    // never forever.
    for (int round = 0; round < 16; ++round) {
        if (!changed_only && !doc.deferred_roots.empty()) {
            doc.dirty_roots.insert(doc.deferred_roots.begin(), doc.deferred_roots.end());
            doc.deferred_roots.clear();
        }
        if (doc.dirty_roots.empty()) break;
        std::vector<element*> roots;
        for (element* e : doc.dirty_roots) {
            bool covered = false;
            for (element* p = e->parent; p && !covered; p = p->parent) covered = doc.dirty_roots.count(p) > 0;
            if (!covered) roots.push_back(e);
        }
        doc.dirty_roots.clear();
        // In document order (parents before children, so that inherited
        // values are current, and behaviours are asked for as they stand).
        std::vector<std::pair<std::vector<std::uint32_t>, element*>> ordered;
        for (element* e : roots) {
            std::vector<std::uint32_t> path;
            for (element* p = e; p->parent; p = p->parent) path.push_back(p->index);
            std::reverse(path.begin(), path.end());
            ordered.emplace_back(std::move(path), e);
        }
        std::sort(ordered.begin(), ordered.end(),
                  [](auto& a, auto& b) { return a.first < b.first; });
        std::vector<element*> work;
        for (auto& o : ordered) {
            work.push_back(o.second);
            ++o.second->refs;  // kept alive while behaviours run
        }
        for (element* e : work) {
            if (e->dead) continue;
            bool in_tree = doc.root() && doc.root()->contains(e);
            // A restyle inside another one leaves the outer one's filter be.
            filtering_ = restyle_depth_ == 1;
            if (filtering_) {
                if (!filter_.empty()) filter_.clear();  // left over by an exception
                chain_.clear();
                for (element* p = e->parent; p; p = p->parent) chain_.push_back(p);
                for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) filter_.push(**it, filter_attributes_);
            }
            restyle_subtree(e, in_tree, sink);
            if (filtering_)
                for (size_t i = 0; i < chain_.size(); ++i) filter_.pop();
        }
        for (element* e : work) {
            // Not document::unuse: a loose element must not die of our glance.
            if (--e->refs == 0 && e->dead && !e->parent) delete e;
        }
    }
}

std::string style_engine::specified(document& doc, element* e, std::string_view name) {
    (void)doc;
    property id;
    if (!e->style || e->style_dirty) {
        // Perhaps called from a behaviour's callback in the middle of a
        // restyle, whose filter describes other ancestors.
        bool saved = filtering_;
        filtering_ = false;
        compute(e);
        filtering_ = saved;
    }
    if (find_property(lower_ascii(name), id)) {
        return e->style->author_set.test(static_cast<size_t>(id)) ? (*e->style)[id] : std::string();
    }
    // A shorthand reads as its longhands when they agree ("margin: 4px").
    declaration_block probe;
    if (!expand_declaration(name, "inherit", false, probe) || probe.empty()) return {};
    std::string value;
    for (auto& d : probe) {
        if (!e->style->author_set.test(static_cast<size_t>(d.id))) return {};
        const std::string& v = (*e->style)[d.id];
        if (!value.empty() && v != value) return {};
        value = v;
    }
    return value;
}

bool is_visible(const element* e) {
    if (!e || e->dead || !e->style) return false;
    if ((*e->style)[property::visibility] != "visible") return false;
    const element* last = e;
    for (const element* p = e; p; p = p->parent) {
        if (!p->style || (*p->style)[property::display] == "none") return false;
        last = p;
    }
    return last->doc && last == last->doc->root();
}

}  // namespace kvhtml::core
