#include "outside/kvhtml/core/dom.hpp"

#include <algorithm>
#include <atomic>

#include "outside/kvhtml/core/style.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {
// Unique across all documents of the process, so that a UID never names an
// element of another page.
std::atomic<std::uint32_t> next_uid{1};
}  // namespace

element::element(std::string tag_name) : node(element_node), tag(std::move(tag_name)) {}
element::~element() = default;

const std::string* element::attribute(std::string_view name) const {
    for (auto& a : attributes)
        if (a.first == name) return &a.second;
    return nullptr;
}

void element::set_attribute(std::string_view name, std::string_view value) {
    for (auto& a : attributes)
        if (a.first == name) {
            a.second = value;
            return;
        }
    attributes.emplace_back(std::string(name), std::string(value));
}

bool element::remove_attribute(std::string_view name) {
    for (auto it = attributes.begin(); it != attributes.end(); ++it)
        if (it->first == name) {
            attributes.erase(it);
            return true;
        }
    return false;
}

bool element::has_class(std::string_view name) const {
    const std::string* c = attribute("class");
    return c && has_word(*c, name);
}

bool element::contains(const element* other) const {
    for (; other; other = other->parent)
        if (other == this) return true;
    return false;
}

namespace {
void collect_text(const node* n, std::string& out) {
    if (n->kind == node::text_node) {
        out += n->data;
    } else if (n->kind == node::element_node) {
        for (const node* c : static_cast<const element*>(n)->nodes) collect_text(c, out);
    }
}
}  // namespace

std::string element::inner_text() const {
    std::string out;
    for (const node* c : nodes) collect_text(c, out);
    return out;
}

document::document() : styles(std::make_unique<style_engine>()) {}

document::~document() { clear(); }

void document::clear() {
    // Everything still owned dies now; elements with handles stay as dead
    // shells until the host lets them go.
    if (root_) destroy(root_);
    while (!loose_.empty()) destroy(*loose_.begin());
}

void document::set_root(element* e) {
    if (root_) destroy(root_);
    loose_.erase(e);
    root_ = e;
    ++version;
    mark_dirty(e);
}

element* document::create_element(std::string_view tag, bool loose) {
    auto* e = new element(lower_ascii(tag));
    e->doc = this;
    e->uid = next_uid++;
    uids_.emplace(e->uid, e);
    if (loose) loose_.insert(e);
    return e;
}

node* document::create_text(std::string_view t) {
    auto* n = new node(node::text_node);
    n->data = t;
    return n;
}

void document::renumber(element* parent, size_t from) {
    for (size_t i = from; i < parent->kids.size(); ++i) parent->kids[i]->index = static_cast<std::uint32_t>(i);
}

void document::unlink(node* n) {
    element* p = n->parent;
    if (!p) return;
    auto it = std::find(p->nodes.begin(), p->nodes.end(), n);
    if (it != p->nodes.end()) p->nodes.erase(it);
    size_t removed_at = std::string::npos;
    if (element* e = n->as_element()) {
        size_t i = e->index;
        if (i < p->kids.size() && p->kids[i] == e) {
            p->kids.erase(p->kids.begin() + static_cast<std::ptrdiff_t>(i));
            renumber(p, i);
            removed_at = i;
        }
    }
    n->parent = nullptr;
    ++version;
    if (p->kids.empty()) attributes_changed(p, {});  // it may now be :empty
    else siblings_changed(p, removed_at, false);
}

bool document::insert(element* parent, node* child, size_t index) {
    if (parent->dead || parent->doc != this) return false;
    if (element* e = child->as_element()) {
        if (e->contains(parent) || e->dead || !e->doc) return false;
        if (e->doc != this) {
            if (e->parent || e->doc->root() == e) return false;
            adopt(e);
        }
    }
    unlink(child);
    size_t position = parent->nodes.size();
    if (index < parent->kids.size()) {
        auto it = std::find(parent->nodes.begin(), parent->nodes.end(), parent->kids[index]);
        position = static_cast<size_t>(it - parent->nodes.begin());
    }
    insert_before_node(parent, child, position);
    return true;
}

void document::insert_before_node(element* parent, node* child, size_t position) {
    unlink(child);
    position = std::min(position, parent->nodes.size());
    parent->nodes.insert(parent->nodes.begin() + static_cast<std::ptrdiff_t>(position), child);
    child->parent = parent;
    size_t inserted_at = std::string::npos;
    if (element* e = child->as_element()) {
        loose_.erase(e);
        size_t k = 0;
        if (position + 1 == parent->nodes.size()) {
            k = parent->kids.size();  // appending: the common case
        } else {
            for (size_t i = 0; i < position; ++i)
                if (parent->nodes[i]->is_element()) ++k;
        }
        parent->kids.insert(parent->kids.begin() + static_cast<std::ptrdiff_t>(k), e);
        renumber(parent, k);
        mark_dirty(e);
        inserted_at = k;
    }
    ++version;
    if (parent->nodes.size() == 1) attributes_changed(parent, {});  // no longer :empty
    else siblings_changed(parent, inserted_at, true);
}

void document::siblings_changed(element* parent, size_t at, bool inserted) {
    if (parent->style_dirty) return;  // its whole subtree is computed anyway
    if (styles->sibling_sensitive()) mark_children_changed(parent);
    const behavior_reach& reach = styles->reach();
    if (!reach.any || at == std::string::npos) return;
    // An inserted element is dirty already; what follows it and what came
    // before it may name other behaviours now.
    mark_kids(parent, inserted ? at + 1 : at, reach.after);
    size_t before = std::min<size_t>(at, reach.before);
    mark_kids(parent, at - before, static_cast<std::uint32_t>(before));
}

void document::mark_kids(element* parent, size_t from, std::uint32_t count) {
    size_t end = parent->kids.size();
    if (count != behavior_reach::all) end = std::min(end, from + count);
    for (size_t i = from; i < end; ++i) mark_dirty(parent->kids[i]);
}

void document::detach(element* e) {
    if (!e->parent && e != root_) return;
    if (hooks) hooks->element_detaching(*e);
    if (e == root_) root_ = nullptr;
    unlink(e);
    loose_.insert(e);
    mark_dirty(e);
}

void document::adopt(element* e) {
    document* from = e->doc;
    from->loose_.erase(e);
    std::vector<element*> stack{e};
    while (!stack.empty()) {
        element* x = stack.back();
        stack.pop_back();
        from->uids_.erase(x->uid);
        from->dirty_roots.erase(x);
        from->deferred_roots.erase(x);
        x->doc = this;
        uids_.emplace(x->uid, x);
        x->behaviors.clear();
        for (element* k : x->kids) stack.push_back(k);
    }
    ++from->version;
    loose_.insert(e);
    mark_dirty(e);
}

void document::kill(element* e) {
    if (hooks) hooks->element_dying(*e);
    e->dead = true;
    uids_.erase(e->uid);
    loose_.erase(e);
    dirty_roots.erase(e);
    deferred_roots.erase(e);
    e->handlers.clear();
    e->behaviors.clear();
    e->expando = nullptr;
    e->expando_finalizer = nullptr;
    for (node* c : e->nodes)
        if (element* ce = c->as_element()) kill(ce);
}

void document::dispose(node* n) {
    element* e = n->as_element();
    if (!e) {
        delete n;
        return;
    }
    for (node* c : e->nodes) {
        c->parent = nullptr;
        dispose(c);
    }
    e->nodes.clear();
    e->kids.clear();
    if (e->refs <= 0) {
        delete e;
    } else {
        e->doc = nullptr;
    }
}

void document::destroy(element* e) {
    if (e->dead) return;
    if (e == root_) root_ = nullptr;
    unlink(e);
    kill(e);
    ++version;
    dispose(e);
}

void document::remove_children(element* parent) {
    while (!parent->nodes.empty()) {
        node* n = parent->nodes.back();
        if (element* e = n->as_element()) {
            destroy(e);
        } else {
            unlink(n);
            delete n;
        }
    }
    mark_dirty(parent);
}

element* document::clone(const element* src) {
    element* e = create_element(src->tag);
    e->attributes = src->attributes;
    e->style_overrides = src->style_overrides;
    e->state = src->state;
    for (const node* c : src->nodes) {
        if (c->kind == node::element_node) {
            insert_before_node(e, clone(static_cast<const element*>(c)), e->nodes.size());
        } else {
            node* t = new node(c->kind);
            t->data = c->data;
            insert_before_node(e, t, e->nodes.size());
        }
    }
    return e;
}

void document::sort(element* parent, size_t first, size_t last, const std::function<int(element*, element*)>& cmp) {
    last = std::min(last, parent->kids.size());
    if (first >= last) return;
    std::vector<element*> items(parent->kids.begin() + static_cast<std::ptrdiff_t>(first),
                                parent->kids.begin() + static_cast<std::ptrdiff_t>(last));
    // Merge sort only compares and moves: safe with any comparator.
    std::stable_sort(items.begin(), items.end(), [&](element* a, element* b) { return cmp(a, b) < 0; });
    std::vector<size_t> slots;
    for (size_t i = 0; i < parent->nodes.size(); ++i) {
        element* e = parent->nodes[i]->as_element();
        if (e && e->index >= first && e->index < last) slots.push_back(i);
    }
    for (size_t k = 0; k < items.size(); ++k) {
        parent->nodes[slots[k]] = items[k];
        parent->kids[first + k] = items[k];
    }
    renumber(parent, first);
    ++version;
    if (parent->style_dirty) return;
    if (styles->sibling_sensitive()) mark_children_changed(parent);
    if (styles->reach().any) mark_kids(parent, 0, behavior_reach::all);
}

void document::unuse(element* e) {
    if (e->refs > 0) --e->refs;
    if (e->refs > 0) return;
    if (e->dead) {
        if (!e->parent) delete e;  // a dead shell: nothing else holds it
        return;
    }
    document* d = e->doc;
    if (d && !e->parent && e != d->root_ && d->loose_.count(e)) d->destroy(e);
}

element* document::by_uid(std::uint32_t uid) const {
    auto it = uids_.find(uid);
    return it == uids_.end() ? nullptr : it->second;
}

const std::vector<element*>* document::by_id(std::string_view id) {
    if (ids_version_ != version) {
        ids_.clear();
        std::vector<element*> stack;
        if (root_) stack.push_back(root_);
        while (!stack.empty()) {
            element* e = stack.back();
            stack.pop_back();
            if (const std::string* v = e->attribute("id")) ids_[*v].push_back(e);
            for (auto it = e->kids.rbegin(); it != e->kids.rend(); ++it) stack.push_back(*it);
        }
        ids_version_ = version;
    }
    auto it = ids_.find(id);
    return it == ids_.end() ? nullptr : &it->second;
}

void document::attributes_changed(element* e, std::string_view name) {
    if (name == "id") ++version;
    mark_dirty(e);
    element* p = e->parent;
    if (!p || p->style_dirty) return;  // then e's siblings are computed with p
    if (styles->sibling_sensitive()) mark_children_changed(p);
    if (styles->reach().any) mark_kids(p, e->index + 1, styles->reach().after_change);
}

void document::mark_children_changed(element* e) {
    if (!e->dead) deferred_roots.insert(e);
}

void document::mark_dirty(element* e) {
    if (e->dead) return;
    e->style_dirty = true;
    // Below a dirty parent it is computed with the parent's subtree.
    if (e->parent && e->parent->style_dirty) return;
    dirty_roots.insert(e);
}

bool is_void_element(std::string_view t) {
    static const char* const names[] = {"area", "base", "br", "col", "embed", "hr", "img", "input",
                                        "link", "meta", "param", "source", "track", "wbr"};
    for (const char* n : names)
        if (t == n) return true;
    return false;
}

}  // namespace kvhtml::core
