// The document tree. Parents own their children; elements are also counted
// by the handles the host keeps, so a handle outlives its element's removal:
// a removed element is marked dead and freed when its last handle goes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kvhtml::core {

class document;
class element;
struct computed_style;

// Element state bits; the names the selectors use are in selector.cpp.
enum : std::uint32_t {
    state_hover = 0x02,
    state_active = 0x04,
    state_focus = 0x08,
    state_visited = 0x10,
    state_current = 0x20,
    state_checked = 0x40,
    state_disabled = 0x80,
    state_expanded = 0x200,
    state_collapsed = 0x400,
    state_anchor = 0x4000,
};

class node {
public:
    enum kind_t : std::uint8_t { element_node, text_node, comment_node };
    explicit node(kind_t k) : kind(k) {}
    virtual ~node() = default;
    node(const node&) = delete;
    node& operator=(const node&) = delete;

    bool is_element() const { return kind == element_node; }
    element* as_element();

    const kind_t kind;
    element* parent = nullptr;
    std::string data;  // text and comments: UTF-8
};

// An event handler as the host attached it; the core only keeps and orders them.
struct handler_entry {
    void* proc = nullptr;
    void* tag = nullptr;
    std::uint32_t subscription = 0;
    bool from_behavior = false;
};

using attribute_list = std::vector<std::pair<std::string, std::string>>;

class element : public node {
public:
    explicit element(std::string tag_name);
    ~element() override;

    const std::string* attribute(std::string_view name) const;  // name: lower case
    void set_attribute(std::string_view name, std::string_view value);
    bool remove_attribute(std::string_view name);
    bool has_class(std::string_view name) const;

    size_t child_count() const { return kids.size(); }
    element* child(size_t i) const { return i < kids.size() ? kids[i] : nullptr; }
    bool alive() const { return !dead; }
    bool contains(const element* other) const;  // other is this or below it
    std::string inner_text() const;

    std::string tag;                // lower case
    attribute_list attributes;      // names lower case, values UTF-8
    attribute_list style_overrides; // set by the host, outrank the cascade
    std::vector<node*> nodes;       // all children, owned
    std::vector<element*> kids;     // the element children, in order
    std::uint32_t index = 0;        // position among the parent's kids
    std::uint32_t uid = 0;
    std::uint32_t state = 0;
    int refs = 0;                   // handles the host holds
    bool dead = false;
    bool style_dirty = true;
    document* doc = nullptr;
    std::shared_ptr<const computed_style> style;  // shared by elements styled alike
    std::vector<std::string> behaviors;  // names already asked for
    std::vector<handler_entry> handlers;
    void* expando = nullptr;
    void* expando_finalizer = nullptr;  // the host's function, opaque here
};

inline element* node::as_element() { return is_element() ? static_cast<element*>(this) : nullptr; }

// What the host learns about the life of elements.
class document_hooks {
public:
    virtual ~document_hooks() = default;
    // Called once when an element leaves the document for good, while the
    // document and the element (its attributes, its handlers) still exist.
    virtual void element_dying(element&) {}
    // Called when an element leaves the tree by detaching (it may come back).
    virtual void element_detaching(element&) {}
};

class style_engine;

class document {
public:
    document();
    ~document();
    document(const document&) = delete;
    document& operator=(const document&) = delete;

    element* root() const { return root_; }
    void clear();  // every element dies, as at the document's end
    void set_root(element* e);  // takes ownership

    // Loose until inserted; `loose` false is for callers that insert it at once.
    element* create_element(std::string_view tag, bool loose = true);
    node* create_text(std::string_view text);
    // index counts element children; past the end (e.g. 0x7FFFFFFF) appends.
    // A child that has a parent is moved.
    // Fails when the child is the parent or above it, or dead. A loose
    // element of another document moves into this one.
    bool insert(element* parent, node* child, size_t index);
    void insert_before_node(element* parent, node* child, size_t node_position);
    void detach(element* e);   // out of the tree, still usable
    void destroy(element* e);  // out of the tree and dead
    void remove_children(element* parent);
    element* clone(const element* e);
    // Sorts kids[first, last) by cmp (negative: a before b); the text
    // between them stays where it was. A comparator that is not consistent
    // gives some order, never a crash.
    void sort(element* parent, size_t first, size_t last, const std::function<int(element*, element*)>& cmp);

    // Handle counting: Unuse of the last handle frees a dead element and
    // destroys a loose one.
    static void use(element* e) { ++e->refs; }
    static void unuse(element* e);

    element* by_uid(std::uint32_t uid) const;
    // Elements whose id is `id`, in document order; null when none.
    const std::vector<element*>* by_id(std::string_view id);
    void attributes_changed(element* e, std::string_view name);
    void mark_dirty(element* e);  // its style must be computed again
    // A change among e's children that sibling selectors may see: e's
    // subtree is computed again at the next full restyle, so that many
    // inserts into one list cost one pass.
    void mark_children_changed(element* e);

    document_hooks* hooks = nullptr;
    std::string base_url;
    std::unique_ptr<style_engine> styles;
    std::unordered_set<element*> dirty_roots;
    std::unordered_set<element*> deferred_roots;
    std::uint64_t version = 0;  // bumps on every tree change

private:
    void renumber(element* parent, size_t from);
    // After an element was inserted at kids[at] or removed from there (at
    // is npos for other nodes): what sibling selectors see of it.
    void siblings_changed(element* parent, size_t at, bool inserted);
    void mark_kids(element* parent, size_t from, std::uint32_t count);
    void unlink(node* n);
    void kill(element* e);
    static void dispose(node* n);
    void adopt(element* e);

    element* root_ = nullptr;
    std::unordered_map<std::uint32_t, element*> uids_;
    std::unordered_set<element*> loose_;
    struct text_hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::vector<element*>, text_hash, std::equal_to<>> ids_;
    std::uint64_t ids_version_ = ~0ull;
};

bool is_void_element(std::string_view tag);

}  // namespace kvhtml::core
