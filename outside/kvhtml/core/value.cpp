#include "outside/kvhtml/core/value.hpp"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

struct shared_string {
    std::atomic<int> refs{1};
    std::u16string text;
};

shared_string* string_of(const value_record* v) {
    return reinterpret_cast<shared_string*>(static_cast<std::uintptr_t>(v->data));
}

std::u16string ascii16(const char* s) {
    std::u16string out;
    for (; *s; ++s) out += static_cast<char16_t>(*s);
    return out;
}

}  // namespace

void value_init(value_record* v) {
    if (!v) return;
    v->type = value_undefined;
    v->units = 0;
    v->data = 0;
}

void value_clear(value_record* v) {
    if (!v) return;
    if (v->type == value_string && v->data) {
        shared_string* s = string_of(v);
        if (--s->refs == 0) delete s;
    }
    value_init(v);
}

std::uint32_t value_copy(value_record* dst, const value_record* src) {
    if (!dst || !src) return value_bad_parameter;
    if (dst == src) return value_ok;
    value_record copy = *src;
    if (copy.type == value_string && copy.data) ++string_of(&copy)->refs;
    value_clear(dst);
    *dst = copy;
    return value_ok;
}

void value_set_bool(value_record* v, bool b) {
    value_clear(v);
    v->type = value_bool;
    v->data = b ? 1 : 0;
}

void value_set_int(value_record* v, std::int32_t i) {
    value_clear(v);
    v->type = value_int;
    v->data = static_cast<std::uint64_t>(static_cast<std::int64_t>(i));
}

void value_set_float(value_record* v, double d) {
    value_clear(v);
    v->type = value_float;
    std::memcpy(&v->data, &d, sizeof d);
}

void value_set_string(value_record* v, std::u16string text) {
    auto* s = new shared_string;
    s->text = std::move(text);
    value_clear(v);
    v->type = value_string;
    v->data = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(s));
}

std::u16string value_text(const value_record& v) {
    char buffer[64];
    switch (v.type) {
    case value_null: return u"null";
    case value_bool: return v.data ? u"true" : u"false";
    case value_int:
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<std::int32_t>(static_cast<std::int64_t>(v.data)));
        return ascii16(buffer);
    case value_float: {
        double d;
        std::memcpy(&d, &v.data, sizeof d);
        std::snprintf(buffer, sizeof buffer, "%.15g", d);
        return ascii16(buffer);
    }
    case value_string: return v.data ? string_of(&v)->text : std::u16string();
    default: return u"undefined";
    }
}

bool value_as_bool(const value_record& v) {
    switch (v.type) {
    case value_bool:
    case value_int: return v.data != 0;
    case value_float: {
        double d;
        std::memcpy(&d, &v.data, sizeof d);
        return d != 0;
    }
    case value_string: {
        std::u16string t = value_text(v);
        return !t.empty() && t != u"false" && t != u"0";
    }
    default: return false;
    }
}

std::uint32_t value_to_string(value_record* v) {
    if (!v) return value_bad_parameter;
    if (v->type == value_string) return value_ok;
    value_set_string(v, value_text(*v));
    return value_ok;
}

std::uint32_t value_string_data(const value_record* v, const char16_t** chars, std::uint32_t* length) {
    if (!v || !chars) return value_bad_parameter;
    if (v->type != value_string) return value_incompatible_type;
    static const char16_t empty[1] = {0};
    const shared_string* s = v->data ? string_of(v) : nullptr;
    *chars = s ? s->text.c_str() : empty;
    if (length) *length = s ? static_cast<std::uint32_t>(s->text.size()) : 0;
    return value_ok;
}

std::uint32_t value_string_data_set(value_record* v, const char16_t* chars, std::uint32_t length, std::uint32_t units) {
    if (!v || (!chars && length)) return value_bad_parameter;
    value_set_string(v, chars ? std::u16string(chars, length) : std::u16string());
    v->units = units;
    return value_ok;
}

}  // namespace kvhtml::core
