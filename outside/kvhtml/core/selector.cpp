#include "outside/kvhtml/core/selector.hpp"

#include <algorithm>
#include <unordered_map>

#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

bool ident_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

struct state_name {
    const char* name;
    std::uint32_t bits;
};
const state_name state_names[] = {
    {"checked", state_checked}, {"current", state_current},   {"disabled", state_disabled},
    {"focus", state_focus},     {"hover", state_hover},       {"active", state_active},
    {"expanded", state_expanded}, {"collapsed", state_collapsed}, {"anchor", state_anchor},
    {"visited", state_visited},
};

class selector_parser {
public:
    explicit selector_parser(std::string_view t) : t_(t) {}

    std::optional<selector_list> list(int depth = 0) {
        if (depth > 8) return std::nullopt;
        selector_list out;
        for (;;) {
            skip_space();
            auto c = complex(depth);
            if (!c) return std::nullopt;
            out.items.push_back(std::move(*c));
            skip_space();
            if (i_ < t_.size() && t_[i_] == ',') {
                ++i_;
                continue;
            }
            break;
        }
        return out;
    }

    bool at_end() const { return i_ >= t_.size(); }
    bool at(char c) const { return i_ < t_.size() && t_[i_] == c; }
    void advance() { ++i_; }

private:
    void skip_space() {
        while (i_ < t_.size() && is_space(t_[i_])) ++i_;
    }

    std::string ident() {
        std::string out;
        while (i_ < t_.size()) {
            char c = t_[i_];
            if (ident_char(c)) {
                out += c;
                ++i_;
            } else if (c == '\\' && i_ + 1 < t_.size()) {
                out += t_[i_ + 1];
                i_ += 2;
            } else {
                break;
            }
        }
        return out;
    }

    std::optional<complex_selector> complex(int depth) {
        complex_selector out;
        auto first = compound(depth);
        if (!first) return std::nullopt;
        out.parts.push_back(std::move(*first));
        for (;;) {
            size_t before = i_;
            skip_space();
            if (i_ >= t_.size() || t_[i_] == ',' || t_[i_] == ')') break;
            char comb = ' ';
            if (t_[i_] == '>' || t_[i_] == '+' || t_[i_] == '~') {
                comb = t_[i_++];
                skip_space();
            } else if (i_ == before) {
                return std::nullopt;  // two compounds with nothing between
            }
            auto next = compound(depth);
            if (!next) return std::nullopt;
            out.combinators.push_back(comb);
            out.parts.push_back(std::move(*next));
        }
        out.specificity = specificity(out);
        return out;
    }

    std::optional<compound_selector> compound(int depth) {
        compound_selector c;
        bool any = false;
        if (at('*')) {
            ++i_;
            any = true;
        } else if (i_ < t_.size() && ident_char(t_[i_])) {
            c.tag = lower_ascii(ident());
            any = true;
        }
        for (;;) {
            if (at('#')) {
                ++i_;
                std::string id = ident();
                if (id.empty()) return std::nullopt;
                c.ids.push_back(std::move(id));
            } else if (at('.')) {
                ++i_;
                std::string cls = ident();
                if (cls.empty()) return std::nullopt;
                c.classes.push_back(std::move(cls));
            } else if (at('[')) {
                ++i_;
                auto a = attribute();
                if (!a) return std::nullopt;
                c.attributes.push_back(std::move(*a));
            } else if (at(':')) {
                ++i_;
                if (at(':')) return std::nullopt;  // pseudo-elements are not selectable
                auto p = pseudo(depth);
                if (!p) return std::nullopt;
                c.pseudos.push_back(std::move(*p));
            } else {
                break;
            }
            any = true;
        }
        if (!any) return std::nullopt;
        return c;
    }

    std::optional<attribute_test> attribute() {
        attribute_test a;
        skip_space();
        a.name = lower_ascii(ident());
        if (a.name.empty()) return std::nullopt;
        skip_space();
        if (at(']')) {
            ++i_;
            return a;
        }
        if (at('=')) {
            a.op = '=';
            ++i_;
        } else if (i_ + 1 < t_.size() && t_[i_ + 1] == '=' && std::string_view("~|^$*").find(t_[i_]) != std::string_view::npos) {
            a.op = t_[i_];
            i_ += 2;
        } else {
            return std::nullopt;
        }
        skip_space();
        if (at('"') || at('\'')) {
            char q = t_[i_++];
            size_t close = t_.find(q, i_);
            if (close == std::string_view::npos) return std::nullopt;
            a.value = t_.substr(i_, close - i_);
            i_ = close + 1;
        } else {
            a.value = ident();
            if (a.value.empty()) return std::nullopt;
        }
        skip_space();
        if (at('i') || at('I')) {
            a.ignore_case = true;
            ++i_;
            skip_space();
        }
        if (!at(']')) return std::nullopt;
        ++i_;
        return a;
    }

    std::optional<pseudo_class> pseudo(int depth) {
        std::string name = lower_ascii(ident());
        pseudo_class p;
        if (name == "root") p.kind = pseudo_class::root;
        else if (name == "first-child") p.kind = pseudo_class::first_child;
        else if (name == "last-child") p.kind = pseudo_class::last_child;
        else if (name == "only-child") p.kind = pseudo_class::only_child;
        else if (name == "empty") p.kind = pseudo_class::empty;
        else if (name == "nth-child" || name == "nth-last-child") {
            p.kind = name == "nth-child" ? pseudo_class::nth_child : pseudo_class::nth_last_child;
            if (!at('(')) return std::nullopt;
            size_t close = t_.find(')', i_);
            if (close == std::string_view::npos) return std::nullopt;
            if (!nth(t_.substr(i_ + 1, close - i_ - 1), p.a, p.b)) return std::nullopt;
            i_ = close + 1;
        } else if (name == "not") {
            p.kind = pseudo_class::negation;
            if (!at('(')) return std::nullopt;
            ++i_;
            auto inner = list(depth + 1);
            if (!inner || !at(')')) return std::nullopt;
            ++i_;
            p.inner = std::make_shared<selector_list>(std::move(*inner));
        } else {
            p.kind = pseudo_class::state;
            for (auto& s : state_names)
                if (name == s.name) p.bits = s.bits;
            if (!p.bits) return std::nullopt;
        }
        return p;
    }

    static bool nth(std::string_view text, int& a, int& b) {
        std::string s;
        for (char c : text)
            if (!is_space(c)) s += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (s == "odd") { a = 2; b = 1; return true; }
        if (s == "even") { a = 2; b = 0; return true; }
        if (s.empty()) return false;
        size_t n = s.find('n');
        auto number = [](std::string_view v, int& out) {
            if (v.empty() || v.size() > 9) return false;
            int sign = 1;
            if (v[0] == '+' || v[0] == '-') {
                sign = v[0] == '-' ? -1 : 1;
                v.remove_prefix(1);
            }
            if (v.empty()) return false;
            int x = 0;
            for (char c : v) {
                if (c < '0' || c > '9') return false;
                x = x * 10 + (c - '0');
            }
            out = sign * x;
            return true;
        };
        if (n == std::string::npos) {
            a = 0;
            return number(s, b);
        }
        std::string_view left = std::string_view(s).substr(0, n), right = std::string_view(s).substr(n + 1);
        if (left.empty() || left == "+") a = 1;
        else if (left == "-") a = -1;
        else if (!number(left, a)) return false;
        b = 0;
        if (!right.empty()) {
            if (right[0] != '+' && right[0] != '-') return false;
            if (!number(right, b)) return false;
        }
        return true;
    }

    static std::uint32_t specificity(const complex_selector& s) {
        std::uint32_t ids = 0, classes = 0, types = 0;
        for (auto& c : s.parts) {
            ids += static_cast<std::uint32_t>(c.ids.size());
            classes += static_cast<std::uint32_t>(c.classes.size() + c.attributes.size());
            if (!c.tag.empty()) ++types;
            for (auto& p : c.pseudos) {
                if (p.kind != pseudo_class::negation) {
                    ++classes;
                    continue;
                }
                std::uint32_t best = 0;
                for (auto& i : p.inner->items) best = std::max(best, i.specificity);
                ids += best >> 16;
                classes += (best >> 8) & 0xFF;
                types += best & 0xFF;
            }
        }
        return std::min(ids, 255u) << 16 | std::min(classes, 255u) << 8 | std::min(types, 255u);
    }

    std::string_view t_;
    size_t i_ = 0;
};

bool attribute_value_matches(char op, std::string_view value, std::string_view want) {
    switch (op) {
    case '=': return value == want;
    case '~': return has_word(value, want);
    case '|': return value == want || (value.size() > want.size() && value.substr(0, want.size()) == want && value[want.size()] == '-');
    case '^': return !want.empty() && value.substr(0, want.size()) == want;
    case '$': return !want.empty() && value.size() >= want.size() && value.substr(value.size() - want.size()) == want;
    case '*': return !want.empty() && value.find(want) != std::string_view::npos;
    }
    return false;
}

bool attribute_matches(const attribute_test& a, const element* e) {
    const std::string* v = e->attribute(a.name);
    if (!v) return false;
    if (a.op == 0) return true;
    // Copies only for the rare case-blind test; matching runs for every
    // element and rule.
    if (a.ignore_case) return attribute_value_matches(a.op, lower_ascii(*v), lower_ascii(a.value));
    return attribute_value_matches(a.op, *v, a.value);
}

bool nth_matches(int a, int b, int position) {  // position is 1-based
    if (a == 0) return position == b;
    int d = position - b;
    return d / a >= 0 && d % a == 0;
}

bool is_root(const element* e, const element* scope) {
    if (scope) return e == scope;
    return e->doc && e == e->doc->root();
}

bool pseudo_matches(const pseudo_class& p, const element* e, const element* scope) {
    const element* parent = e->parent;
    switch (p.kind) {
    case pseudo_class::root: return is_root(e, scope);
    case pseudo_class::first_child: return parent && e->index == 0;
    case pseudo_class::last_child: return parent && e->index + 1 == parent->kids.size();
    case pseudo_class::only_child: return parent && parent->kids.size() == 1;
    case pseudo_class::nth_child: return parent && nth_matches(p.a, p.b, static_cast<int>(e->index) + 1);
    case pseudo_class::nth_last_child:
        return parent && nth_matches(p.a, p.b, static_cast<int>(parent->kids.size() - e->index));
    case pseudo_class::empty:
        for (const node* n : e->nodes)
            if (n->kind == node::element_node || (n->kind == node::text_node && !n->data.empty())) return false;
        return true;
    case pseudo_class::negation: return !matches(*p.inner, e, scope);
    case pseudo_class::state: return (e->state & p.bits) == p.bits;
    }
    return false;
}

}  // namespace

bool compound_matches(const compound_selector& c, const element* e, const element* scope) {
    if (!c.tag.empty() && c.tag != e->tag) return false;
    if (!c.ids.empty()) {
        const std::string* id = e->attribute("id");
        for (auto& i : c.ids)
            if (!id || *id != i) return false;
    }
    if (!c.classes.empty()) {
        const std::string* cls = e->attribute("class");
        if (!cls) return false;
        for (auto& k : c.classes)
            if (!has_word(*cls, k)) return false;
    }
    for (auto& a : c.attributes)
        if (!attribute_matches(a, e)) return false;
    for (auto& p : c.pseudos)
        if (!pseudo_matches(p, e, scope)) return false;
    return true;
}

namespace {

bool match_from(const complex_selector& s, size_t k, const element* e, const element* scope, bool last_checked = false) {
    if (!last_checked && !compound_matches(s.parts[k], e, scope)) return false;
    if (k == 0) return true;
    switch (s.combinators[k - 1]) {
    case '>': return e->parent && match_from(s, k - 1, e->parent, scope);
    case ' ':
        for (const element* p = e->parent; p; p = p->parent)
            if (match_from(s, k - 1, p, scope)) return true;
        return false;
    case '+': return e->parent && e->index > 0 && match_from(s, k - 1, e->parent->kids[e->index - 1], scope);
    case '~':
        if (!e->parent) return false;
        for (size_t i = e->index; i-- > 0;)
            if (match_from(s, k - 1, e->parent->kids[i], scope)) return true;
        return false;
    }
    return false;
}

}  // namespace

std::optional<selector_list> parse_selector(std::string_view text) {
    selector_parser p(text);
    auto out = p.list();
    if (!out || !p.at_end()) return std::nullopt;
    return out;
}

bool matches(const complex_selector& s, const element* e, const element* scope) {
    return !s.parts.empty() && match_from(s, s.parts.size() - 1, e, scope);
}

bool matches_before_last(const complex_selector& s, const element* e, const element* scope) {
    return !s.parts.empty() && match_from(s, s.parts.size() - 1, e, scope, true);
}

std::string compound_key(const compound_selector& c) {
    std::string key = c.tag;
    for (auto& i : c.ids) key += "#" + i;
    for (auto& k : c.classes) key += "." + k;
    for (auto& a : c.attributes) key += "[" + a.name + a.op + a.value + (a.ignore_case ? " i]" : "]");
    for (auto& p : c.pseudos) {
        key += ":" + std::to_string(p.kind) + "," + std::to_string(p.a) + "," + std::to_string(p.b) + "," +
               std::to_string(p.bits);
        if (p.inner) key += "@" + std::to_string(reinterpret_cast<std::uintptr_t>(p.inner.get()));
    }
    return key;
}

bool matches(const selector_list& s, const element* e, const element* scope) {
    for (auto& c : s.items)
        if (matches(c, e, scope)) return true;
    return false;
}

std::shared_ptr<const selector_list> compiled_selector(std::string_view text) {
    // No lock on the path of every lookup: the engine runs on its window's
    // thread, and its documents are never shared between threads.
    struct text_hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    static std::unordered_map<std::string, std::shared_ptr<const selector_list>, text_hash, std::equal_to<>> cache;
    auto it = cache.find(text);
    if (it != cache.end()) return it->second;
    auto parsed = parse_selector(text);
    std::shared_ptr<const selector_list> out;
    if (parsed) out = std::make_shared<const selector_list>(std::move(*parsed));
    if (cache.size() >= 512) cache.clear();
    cache.emplace(std::string(text), out);
    return out;
}

void select_all(document& doc, element* under, const selector_list& sel, std::vector<element*>& out, size_t limit) {
    if (limit == 0) return;
    // One complex selector whose last part names an id: candidates come
    // from the id index instead of a walk.
    if (sel.items.size() == 1 && !sel.items[0].parts.back().ids.empty() && doc.root() && doc.root()->contains(under)) {
        const auto& s = sel.items[0];
        if (const auto* found = doc.by_id(s.parts.back().ids[0])) {
            for (element* e : *found) {
                if (e != under && under->contains(e) && matches(s, e, under)) {
                    out.push_back(e);
                    if (out.size() >= limit) return;
                }
            }
        }
        return;
    }
    std::vector<element*> stack(under->kids.rbegin(), under->kids.rend());
    while (!stack.empty()) {
        element* e = stack.back();
        stack.pop_back();
        if (matches(sel, e, under)) {
            out.push_back(e);
            if (out.size() >= limit) return;
        }
        for (auto it = e->kids.rbegin(); it != e->kids.rend(); ++it) stack.push_back(*it);
    }
}

}  // namespace kvhtml::core
