// Element calls: handles, finding and walking, attributes and styles,
// states, text and markup, tree changes, expandos.
#include <algorithm>

#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/page.hpp"
#include "outside/kvhtml/core/selector.hpp"
#include "outside/kvhtml/core/style.hpp"
#include "outside/kvhtml/core/text.hpp"
#include "outside/kvhtml/view.hpp"

using namespace kvhtml;
using namespace kvhtml::engine;

namespace {

void give(KvhtmlStringReceiverW receiver, const std::string& utf8, LPVOID param) {
    std::wstring w = widen(utf8);
    receiver(w.c_str(), static_cast<UINT>(w.size()), param);
}

KVHTML_RESULT select_under(element* e, std::string_view selector, KvhtmlElementCallback callback, LPVOID param) {
    auto sel = core::compiled_selector(selector);
    if (!sel) return KVHTML_INVALID_FORMAT;
    std::vector<element*> found;
    core::select_all(*e->doc, e, *sel, found);
    // Counted while the host's callback runs: it may delete what it is given.
    for (element* f : found) core::document::use(f);
    bool stop = false;
    for (element* f : found) {
        if (!stop && !f->dead && callback(handle(f), param)) stop = true;
    }
    for (element* f : found) core::document::unuse(f);
    return KVHTML_OK;
}

}  // namespace

extern "C" {

KVHTML_RESULT KVCALL Kvhtml_UseElement(HELEMENT he) {
    auto* e = reinterpret_cast<element*>(he);
    // A dead shell takes no new reference: the wrapper then holds nothing.
    if (!e || e->dead) return KVHTML_INVALID_HANDLE;
    core::document::use(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL Kvhtml_UnuseElement(HELEMENT he) {
    auto* e = reinterpret_cast<element*>(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    core::document::unuse(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetRootElement(HWND hwnd, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    view* v = view::of(hwnd, false);
    if (!v) return KVHTML_INVALID_HWND;
    *out = handle(v->doc.root());
    return *out ? KVHTML_OK : KVHTML_OPERATION_FAILED;
}

KVHTML_RESULT KVCALL KvhtmlSelectElements(HELEMENT he, LPCSTR selector, KvhtmlElementCallback callback, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!selector || !callback) return KVHTML_INVALID_PARAMETER;
    return select_under(e, selector, callback, param);
}

KVHTML_RESULT KVCALL KvhtmlSelectElementsW(HELEMENT he, LPCWSTR selector, KvhtmlElementCallback callback, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!selector || !callback) return KVHTML_INVALID_PARAMETER;
    return select_under(e, narrow(selector), callback, param);
}

KVHTML_RESULT KVCALL KvhtmlSelectParent(HELEMENT he, LPCSTR selector, UINT depth, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!selector) return KVHTML_INVALID_PARAMETER;
    auto sel = core::compiled_selector(selector);
    if (!sel) return KVHTML_INVALID_FORMAT;
    UINT level = 0;
    for (element* p = e; p && (depth == 0 || level < depth); p = p->parent, ++level) {
        if (core::matches(*sel, p, nullptr)) {
            *out = handle(p);
            return KVHTML_OK;
        }
    }
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlVisitElements(HELEMENT he, LPCSTR tag, LPCSTR attribute, LPCWSTR value,
                                         KvhtmlElementCallback callback, LPVOID param, UINT depth) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!callback) return KVHTML_INVALID_PARAMETER;
    std::string want_tag = tag ? core::lower_ascii(tag) : std::string();
    std::string want_name = attribute ? core::lower_ascii(attribute) : std::string();
    std::string want_value = value ? narrow(value) : std::string();
    std::vector<element*> found;
    std::vector<std::pair<element*, UINT>> stack;
    for (auto it = e->kids.rbegin(); it != e->kids.rend(); ++it) stack.emplace_back(*it, 1);
    while (!stack.empty()) {
        auto [x, level] = stack.back();
        stack.pop_back();
        bool ok = want_tag.empty() || x->tag == want_tag;
        if (ok && !want_name.empty()) {
            const std::string* a = x->attribute(want_name);
            ok = a && (!value || *a == want_value);
        }
        if (ok) found.push_back(x);
        if (depth == 0 || level < depth)
            for (auto it = x->kids.rbegin(); it != x->kids.rend(); ++it) stack.emplace_back(*it, level + 1);
    }
    for (element* f : found) core::document::use(f);
    bool stop = false;
    for (element* f : found)
        if (!stop && !f->dead && callback(handle(f), param)) stop = true;
    for (element* f : found) core::document::unuse(f);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetChildrenCount(HELEMENT he, UINT* count) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!count) return KVHTML_INVALID_PARAMETER;
    *count = static_cast<UINT>(e->kids.size());
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetNthChild(HELEMENT he, UINT n, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (n >= e->kids.size()) return KVHTML_INVALID_PARAMETER;
    *out = handle(e->kids[n]);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetParentElement(HELEMENT he, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    *out = handle(e->parent);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementIndex(HELEMENT he, UINT* index) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!index) return KVHTML_INVALID_PARAMETER;
    *index = e->parent ? e->index : 0;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementType(HELEMENT he, KvhtmlStringReceiverA receiver, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!receiver) return KVHTML_INVALID_PARAMETER;
    receiver(e->tag.c_str(), static_cast<UINT>(e->tag.size()), param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementUID(HELEMENT he, UINT* uid) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!uid) return KVHTML_INVALID_PARAMETER;
    *uid = e->uid;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementByUID(HWND hwnd, UINT uid, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    view* v = view::of(hwnd, false);
    if (!v) return KVHTML_INVALID_HWND;
    *out = handle(v->doc.by_uid(uid));
    return *out ? KVHTML_OK : KVHTML_INVALID_PARAMETER;
}

KVHTML_RESULT KVCALL KvhtmlGetElementHwnd(HELEMENT he, HWND* out, BOOL root_window) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    view* v = view::of(e);
    if (!v) return KVHTML_OPERATION_FAILED;  // made, not yet in a window's document
    *out = root_window ? GetAncestor(v->hwnd, GA_ROOT) : v->hwnd;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlIsElementVisible(HELEMENT he, BOOL* visible) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!visible) return KVHTML_INVALID_PARAMETER;
    flush_all(e);
    *visible = core::is_visible(e) ? TRUE : FALSE;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetAttributeByName(HELEMENT he, LPCSTR name, KvhtmlStringReceiverW receiver, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!name || !receiver) return KVHTML_INVALID_PARAMETER;
    const std::string* v = e->attribute(core::lower_ascii(name));
    if (!v) return KVHTML_OK_NOT_HANDLED;
    give(receiver, *v, param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR value) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!name || !*name) return KVHTML_INVALID_PARAMETER;
    std::string n = core::lower_ascii(name);
    if (value) e->set_attribute(n, narrow(value));
    else e->remove_attribute(n);
    e->doc->attributes_changed(e, n);
    flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetAttributeCount(HELEMENT he, UINT* count) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!count) return KVHTML_INVALID_PARAMETER;
    *count = static_cast<UINT>(e->attributes.size());
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetNthAttribute(HELEMENT he, UINT n, KvhtmlStringReceiverA name, KvhtmlStringReceiverW value, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (n >= e->attributes.size()) return KVHTML_INVALID_PARAMETER;
    auto a = e->attributes[n];  // a copy: the receivers may change the element
    if (name) name(a.first.c_str(), static_cast<UINT>(a.first.size()), param);
    if (value) give(value, a.second, param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetStyleAttribute(HELEMENT he, LPCSTR name, KvhtmlStringReceiverW receiver, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!name || !receiver) return KVHTML_INVALID_PARAMETER;
    flush_all(e);
    std::string v = e->doc->styles->specified(*e->doc, e, name);
    if (v.empty()) return KVHTML_OK_NOT_HANDLED;
    give(receiver, v, param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR value) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!name || !*name) return KVHTML_INVALID_PARAMETER;
    std::string n = core::lower_ascii(name);
    auto& list = e->style_overrides;
    list.erase(std::remove_if(list.begin(), list.end(), [&](auto& o) { return o.first == n; }), list.end());
    if (value) {
        core::declaration_block probe;
        std::string v = narrow(value);
        if (!core::expand_declaration(n, v, false, probe)) return KVHTML_INVALID_PARAMETER;
        list.emplace_back(n, v);
    }
    e->doc->mark_dirty(e);
    flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementState(HELEMENT he, UINT* state) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!state) return KVHTML_INVALID_PARAMETER;
    *state = e->state;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSetElementState(HELEMENT he, UINT bits_to_set, UINT bits_to_clear, BOOL update) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    e->state = (e->state & ~bits_to_clear) | bits_to_set;
    e->doc->attributes_changed(e, "");
    if (update) flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementInnerText16(HELEMENT he, KvhtmlStringReceiverW receiver, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!receiver) return KVHTML_INVALID_PARAMETER;
    give(receiver, e->inner_text(), param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSetElementInnerText16(HELEMENT he, LPCWSTR text, UINT length) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!text && length) return KVHTML_INVALID_PARAMETER;
    core::set_text(*e->doc, e, narrow(text, length));
    flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetElementHtml(HELEMENT he, BOOL outer, KvhtmlBytesReceiver receiver, LPVOID param) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!receiver) return KVHTML_INVALID_PARAMETER;
    std::string html = core::to_html(*e, outer != FALSE);
    receiver(reinterpret_cast<const BYTE*>(html.data()), static_cast<UINT>(html.size()), param);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSetElementHtml(HELEMENT he, const BYTE* html, UINT size, UINT mode) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!html && size) return KVHTML_INVALID_PARAMETER;
    core::document& doc = *e->doc;
    element* parent = e->parent;
    std::string text = core::decode_bytes(std::string_view(reinterpret_cast<const char*>(html), size));
    if (!core::set_html(doc, e, text, static_cast<int>(mode))) return KVHTML_INVALID_PARAMETER;
    flush_of(parent && mode >= 3 ? parent : e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlCreateElement(LPCSTR tag, LPCWSTR text, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    if (!tag || !*tag) return KVHTML_INVALID_PARAMETER;
    core::document& limbo = view::limbo();
    element* e = limbo.create_element(tag);
    if (text && *text) core::set_text(limbo, e, narrow(text));
    *out = handle(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlCloneElement(HELEMENT he, HELEMENT* out) {
    if (!out) return KVHTML_INVALID_PARAMETER;
    *out = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    *out = handle(e->doc->clone(e));
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlInsertElement(HELEMENT he, HELEMENT parent_handle, UINT index) {
    element* e = live(he);
    element* parent = live(parent_handle);
    if (!e || !parent) return KVHTML_INVALID_HANDLE;
    if (!parent->doc->insert(parent, e, index)) return KVHTML_INVALID_PARAMETER;
    flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlDeleteElement(HELEMENT he) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    HWND hwnd = window_of(e);
    core::document::use(e);  // the call's own hold, so the shell outlives it
    e->doc->destroy(e);
    core::document::unuse(e);
    flush_window(hwnd);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlDetachElement(HELEMENT he) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!e->parent) return KVHTML_OK;
    HWND hwnd = window_of(e);
    e->doc->detach(e);
    flush_window(hwnd);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlSortElements(HELEMENT parent_handle, UINT first, UINT last, KvhtmlElementComparator comparator, LPVOID param) {
    element* e = live(parent_handle);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!comparator || first > last) return KVHTML_INVALID_PARAMETER;
    e->doc->sort(e, first, last, [&](element* a, element* b) { return comparator(handle(a), handle(b), param); });
    flush_of(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlUpdateElement(HELEMENT he, BOOL) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    e->doc->mark_dirty(e);
    flush_all(e);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlScrollToView(HELEMENT he, UINT) {
    // Nothing scrolls before the layout exists; the element is checked.
    return live(he) ? KVHTML_OK : KVHTML_INVALID_HANDLE;
}

KVHTML_RESULT KVCALL KvhtmlElementSetExpando(HELEMENT he, LPVOID expando, KvhtmlExpandoFinalizer finalizer) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    e->expando = expando;
    e->expando_finalizer = reinterpret_cast<void*>(finalizer);
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlElementGetExpando(HELEMENT he, LPVOID* expando) {
    if (!expando) return KVHTML_INVALID_PARAMETER;
    *expando = nullptr;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    *expando = e->expando;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlGetMinWidth(HELEMENT he, INT* width) {
    if (width) *width = 0;
    return live(he) ? KVHTML_NOT_SUPPORTED : KVHTML_INVALID_HANDLE;
}

KVHTML_RESULT KVCALL KvhtmlGetMinHeight(HELEMENT he, INT, INT* height) {
    if (height) *height = 0;
    return live(he) ? KVHTML_NOT_SUPPORTED : KVHTML_INVALID_HANDLE;
}

}  // extern "C"
