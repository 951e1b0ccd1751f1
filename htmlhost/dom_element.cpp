#include "htmlhost/dom_element.hpp"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <stdexcept>


namespace kvhtml::dom {

namespace {

void check(KVHTML_RESULT r, const char* call) {
    if (r != KVHTML_OK) throw call_failed("%s failed with result %d", call, static_cast<int>(r));
}

void KVCALL take_wide(LPCWSTR text, UINT length, LPVOID param) {
    static_cast<std::wstring*>(param)->assign(text, length);
}

}  // namespace

std::wstring attribute_accessor::get() const {
    if (!name_.empty() && name_[0] == '-') {
        std::wstring v;
        if (element_.get_style_attribute(name_.c_str() + 1, v) && !v.empty()) return v;
        return element_.get_attribute(name_.c_str() + 1);
    }
    return element_.get_attribute(name_.c_str());
}

attribute_accessor& attribute_accessor::operator=(const std::wstring& value) { return *this = value.c_str(); }

attribute_accessor& attribute_accessor::operator=(const wchar_t* value) {
    if (!name_.empty() && name_[0] == '-') element_.set_style_attribute(name_.c_str() + 1, value);
    else element_.set_attribute(name_.c_str(), value);
    return *this;
}

element::element(HELEMENT he) {
    if (he && Kvhtml_UseElement(he) == KVHTML_OK) he_ = he;
}

element::element(HELEMENT he, checked_t) : element(he) {
    if (!he_) throw std::runtime_error("attempt to access non existing dom element");
}

element::element(const element& other) : element(other.he_) {}

element::element(element&& other) noexcept : he_(other.he_) { other.he_ = nullptr; }

element& element::operator=(const element& other) {
    if (this != &other) {
        element copy(other);
        *this = std::move(copy);
    }
    return *this;
}

element& element::operator=(element&& other) noexcept {
    if (this != &other) {
        if (he_) Kvhtml_UnuseElement(he_);
        he_ = other.he_;
        other.he_ = nullptr;
    }
    return *this;
}

element::~element() {
    if (he_) Kvhtml_UnuseElement(he_);
}

HELEMENT element::checked_handle() const {
    if (!he_) throw std::runtime_error("attempt to access non existing dom element");
    return he_;
}

element element::find_first(const char* selector_format, ...) const {
    char selector[2048];
    va_list args;
    va_start(args, selector_format);
    int n = std::vsnprintf(selector, sizeof selector, selector_format, args);
    va_end(args);
    // A selector longer than the buffer would be searched cut, and could
    // find the wrong element: refuse it instead.
    if (n < 0 || n >= static_cast<int>(sizeof selector))
        throw std::runtime_error(std::string("selector does not fit in 2048 bytes: ") + selector_format);
    HELEMENT found = nullptr;
    KVHTML_RESULT r = KvhtmlSelectElements(
        checked_handle(), selector,
        [](HELEMENT he, LPVOID param) -> BOOL {
            *static_cast<HELEMENT*>(param) = he;
            return TRUE;
        },
        &found);
    if (r != KVHTML_OK || !found) throw std::runtime_error(std::string("Unable to find element using: ") + selector);
    return element(found);
}

void element::find_all(const char* selector, const std::function<bool(const element&)>& callback) const {
    // An exception must not cross the engine: it stops the walk and is
    // raised again here.
    struct context {
        const std::function<bool(const element&)>* callback;
        std::exception_ptr failure;
    } c{&callback, nullptr};
    KVHTML_RESULT r = KvhtmlSelectElements(checked_handle(), selector,
                                           [](HELEMENT he, LPVOID param) -> BOOL {
                                               auto* ctx = static_cast<context*>(param);
                                               try {
                                                   return (*ctx->callback)(element(he)) ? TRUE : FALSE;
                                               } catch (...) {
                                                   ctx->failure = std::current_exception();
                                                   return TRUE;
                                               }
                                           },
                                           &c);
    if (c.failure) std::rethrow_exception(c.failure);
    check(r, "KvhtmlSelectElements");
}

std::wstring element::get_attribute(const char* name) const {
    std::wstring v;
    KVHTML_RESULT r = KvhtmlGetAttributeByName(checked_handle(), name, take_wide, &v);
    if (r != KVHTML_OK && r != KVHTML_OK_NOT_HANDLED) check(r, "KvhtmlGetAttributeByName");
    return v;
}

void element::set_attribute(const char* name, const wchar_t* value) const {
    check(KvhtmlSetAttributeByName(checked_handle(), name, value), "KvhtmlSetAttributeByName");
}

bool element::get_style_attribute(const char* name, std::wstring& value) const {
    value.clear();
    return KvhtmlGetStyleAttribute(checked_handle(), name, take_wide, &value) == KVHTML_OK;
}

void element::set_style_attribute(const char* name, const wchar_t* value) const {
    check(KvhtmlSetStyleAttribute(checked_handle(), name, value), "KvhtmlSetStyleAttribute");
}

void element::set_text(const wchar_t* text) const {
    if (!text) return;
    check(KvhtmlSetElementInnerText16(checked_handle(), text, static_cast<UINT>(wcslen(text))),
          "KvhtmlSetElementInnerText16");
}

std::wstring element::get_text() const {
    std::wstring v;
    check(KvhtmlGetElementInnerText16(checked_handle(), take_wide, &v), "KvhtmlGetElementInnerText16");
    return v;
}

void element::set_html(const std::string& utf8) const {
    check(KvhtmlSetElementHtml(checked_handle(), reinterpret_cast<const BYTE*>(utf8.data()),
                               static_cast<UINT>(utf8.size()), KVHTML_SIH_REPLACE_CONTENT),
          "KvhtmlSetElementHtml");
}

std::string element::get_html(bool outer) const {
    std::string out;
    check(KvhtmlGetElementHtml(checked_handle(), outer ? TRUE : FALSE,
                               [](const BYTE* b, UINT n, LPVOID p) {
                                   static_cast<std::string*>(p)->assign(reinterpret_cast<const char*>(b), n);
                               },
                               &out),
          "KvhtmlGetElementHtml");
    return out;
}

void element::set_state(UINT bits, bool on) const {
    check(KvhtmlSetElementState(checked_handle(), on ? bits : 0, on ? 0 : bits, TRUE), "KvhtmlSetElementState");
}

UINT element::get_state() const {
    UINT state = 0;
    check(KvhtmlGetElementState(checked_handle(), &state), "KvhtmlGetElementState");
    return state;
}

VALUE element::get_value() const {
    VALUE v;
    ValueInit(&v);
    check(KvhtmlControlGetValue(checked_handle(), &v), "KvhtmlControlGetValue");
    return v;
}

void element::set_value(const VALUE& value) const {
    check(KvhtmlControlSetValue(checked_handle(), &value), "KvhtmlControlSetValue");
}

void element::post_event(UINT code) const { post_event(code, element()); }

void element::post_event(UINT code, const element& source, UINT_PTR reason) const {
    HELEMENT self = checked_handle();
    check(KvhtmlPostEvent(self, code, source.is_valid() ? source.handle() : self, reason), "KvhtmlPostEvent");
}

VALUE element::call_method(const char* name, const VALUE* a1, const VALUE* a2, const VALUE* a3, const VALUE* a4,
                           const VALUE* a5, const VALUE* a6, const VALUE* a7, const VALUE* a8) const {
    VALUE argv[8];
    const VALUE* given[8] = {a1, a2, a3, a4, a5, a6, a7, a8};
    UINT argc = 0;
    while (argc < 8 && given[argc] && given[argc]->t != T_UNDEFINED) {
        argv[argc] = *given[argc];  // borrowed for the call: no copy of shared strings needed
        ++argc;
    }
    KVHTML_NAMED_CALL_PARAMS call{KVHTML_NAMED_METHOD, name, argc, argv, {}};
    ValueInit(&call.result);
    KVHTML_RESULT r = KvhtmlCallBehaviorMethod(checked_handle(), reinterpret_cast<KVHTML_METHOD_PARAMS*>(&call));
    if (r != KVHTML_OK && r != KVHTML_OK_NOT_HANDLED) check(r, "KvhtmlCallBehaviorMethod");
    return call.result;
}

element element::parent() const {
    HELEMENT p = nullptr;
    check(KvhtmlGetParentElement(checked_handle(), &p), "KvhtmlGetParentElement");
    return element(p, checked);
}

element element::child(UINT index) const {
    HELEMENT c = nullptr;
    check(KvhtmlGetNthChild(checked_handle(), index, &c), "KvhtmlGetNthChild");
    return element(c, checked);
}

UINT element::children_count() const {
    UINT n = 0;
    check(KvhtmlGetChildrenCount(checked_handle(), &n), "KvhtmlGetChildrenCount");
    return n;
}

UINT element::index() const {
    UINT i = 0;
    check(KvhtmlGetElementIndex(checked_handle(), &i), "KvhtmlGetElementIndex");
    return i;
}

std::string element::type() const {
    std::string t;
    check(KvhtmlGetElementType(checked_handle(),
                               [](LPCSTR s, UINT n, LPVOID p) { static_cast<std::string*>(p)->assign(s, n); }, &t),
          "KvhtmlGetElementType");
    return t;
}

UINT element::uid() const {
    UINT u = 0;
    check(KvhtmlGetElementUID(checked_handle(), &u), "KvhtmlGetElementUID");
    return u;
}

void element::insert(const element& child, UINT index) const {
    check(KvhtmlInsertElement(child.checked_handle(), checked_handle(), index), "KvhtmlInsertElement");
}

void element::remove() const { check(KvhtmlDeleteElement(checked_handle()), "KvhtmlDeleteElement"); }

element element::clone() const {
    HELEMENT c = nullptr;
    check(KvhtmlCloneElement(checked_handle(), &c), "KvhtmlCloneElement");
    return element(c, checked);
}

void element::sort(UINT first, UINT last, const std::function<bool(const element&, const element&)>& less) const {
    struct context {
        const std::function<bool(const element&, const element&)>* less;
    } c{&less};
    check(KvhtmlSortElements(checked_handle(), first, last,
                             [](HELEMENT a, HELEMENT b, LPVOID param) -> INT {
                                 auto& f = *static_cast<context*>(param)->less;
                                 element x(a), y(b);
                                 // An exception must not cross the engine: it orders as equal.
                                 try {
                                     if (f(x, y)) return -1;
                                     if (f(y, x)) return 1;
                                 } catch (...) {
                                 }
                                 return 0;
                             },
                             &c),
          "KvhtmlSortElements");
}

void element::update() const { check(KvhtmlUpdateElement(checked_handle(), FALSE), "KvhtmlUpdateElement"); }

}  // namespace kvhtml::dom
