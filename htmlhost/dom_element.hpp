// The program's element wrapper: owns one counted reference to an engine
// element (or none), and offers the operations page code needs. Failures
// throw; code that must not fail uses the htmlaux helpers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "bindings/kvhtml.h"
#include "tessel/exception.hpp"

namespace kvhtml::dom {

// An engine call that reported a failure.
TESSEL_EXCEPTION(call_failed, tessel::exception, "kvhtml");

class element;

// (element, attribute name). A name starting with "-" is the style
// attribute named by the rest ("-display").
class attribute_accessor {
public:
    attribute_accessor(const element& e, std::string name) : element_(e), name_(std::move(name)) {}
    operator std::wstring() const { return get(); }
    std::wstring get() const;  // empty when absent
    attribute_accessor& operator=(const std::wstring& value);
    attribute_accessor& operator=(const wchar_t* value);  // null removes

private:
    const element& element_;
    std::string name_;
};

class element {
public:
    struct checked_t {};
    static constexpr checked_t checked{};

    element() = default;
    explicit element(HELEMENT he);  // holds nothing if the reference cannot be taken
    // For handles that must exist: throws "attempt to access non existing dom element".
    element(HELEMENT he, checked_t);
    element(const element& other);
    element(element&& other) noexcept;
    element& operator=(const element& other);
    element& operator=(element&& other) noexcept;
    ~element();

    HELEMENT handle() const { return he_; }
    bool is_valid() const { return he_ != nullptr; }
    explicit operator bool() const { return is_valid(); }
    bool operator==(const element& other) const { return he_ == other.he_; }

    // The first match of a printf-style selector (formatted into 2048 bytes);
    // throws "Unable to find element using: " + selector when none matches.
    element find_first(const char* selector_format, ...) const;
    // Calls back for each match; a callback returning true stops.
    void find_all(const char* selector, const std::function<bool(const element&)>& callback) const;

    attribute_accessor operator[](const char* name) const { return attribute_accessor(*this, name); }
    std::wstring get_attribute(const char* name) const;  // empty when absent
    void set_attribute(const char* name, const wchar_t* value) const;
    bool get_style_attribute(const char* name, std::wstring& value) const;
    void set_style_attribute(const char* name, const wchar_t* value) const;

    void set_text(const wchar_t* text) const;  // null does nothing
    std::wstring get_text() const;
    void set_html(const std::string& utf8) const;
    std::string get_html(bool outer) const;
    void set_state(UINT bits, bool on) const;
    UINT get_state() const;
    VALUE get_value() const;  // the caller clears it
    void set_value(const VALUE& value) const;
    // Without a source element this element is the source.
    void post_event(UINT code) const;
    void post_event(UINT code, const element& source, UINT_PTR reason = 0) const;
    // Values are passed in order up to the first undefined one; the caller
    // clears the result.
    VALUE call_method(const char* name, const VALUE* a1 = nullptr, const VALUE* a2 = nullptr,
                      const VALUE* a3 = nullptr, const VALUE* a4 = nullptr, const VALUE* a5 = nullptr,
                      const VALUE* a6 = nullptr, const VALUE* a7 = nullptr, const VALUE* a8 = nullptr) const;

    element parent() const;
    element child(UINT index) const;
    UINT children_count() const;
    UINT index() const;
    std::string type() const;
    UINT uid() const;

    void insert(const element& child, UINT index) const;
    void remove() const;
    element clone() const;
    // Sorts children [first, last) by a "less" comparator.
    void sort(UINT first, UINT last, const std::function<bool(const element&, const element&)>& less) const;
    void update() const;

private:
    HELEMENT checked_handle() const;
    HELEMENT he_ = nullptr;
};

}  // namespace kvhtml::dom
