// Values: the record functions, and the value of a control element.
#include "outside/kvhtml/core/page.hpp"
#include "outside/kvhtml/core/text.hpp"
#include "outside/kvhtml/core/value.hpp"
#include "outside/kvhtml/view.hpp"

using namespace kvhtml;
using namespace kvhtml::engine;

namespace {

core::value_record* rec(VALUE* v) { return reinterpret_cast<core::value_record*>(v); }
const core::value_record* rec(const VALUE* v) { return reinterpret_cast<const core::value_record*>(v); }
static_assert(sizeof(VALUE) == sizeof(core::value_record), "one layout");

bool is_toggle(const element* e) {
    const std::string* type = e->attribute("type");
    return e->tag == "input" && type && (core::iequals(*type, "checkbox") || core::iequals(*type, "radio"));
}

// The chosen option of a select-like element: current, checked or
// marked selected in the page.
element* chosen_option(element* e) {
    std::vector<element*> stack(e->kids.rbegin(), e->kids.rend());
    element* marked = nullptr;
    while (!stack.empty()) {
        element* x = stack.back();
        stack.pop_back();
        if (x->tag == "option") {
            if (x->state & (core::state_current | core::state_checked)) return x;
            if (!marked && x->attribute("selected")) marked = x;
        }
        for (auto it = x->kids.rbegin(); it != x->kids.rend(); ++it) stack.push_back(*it);
    }
    return marked;
}

std::u16string text16(const std::string& utf8) { return core::utf8_to_utf16(utf8); }

}  // namespace

extern "C" {

KVHTML_RESULT KVCALL KvhtmlControlGetValue(HELEMENT he, VALUE* value) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!value) return KVHTML_INVALID_PARAMETER;
    core::value_record* v = rec(value);
    if (is_toggle(e)) {
        core::value_set_bool(v, (e->state & core::state_checked) != 0);
    } else if (e->tag == "select") {
        element* o = chosen_option(e);
        if (!o) {
            core::value_clear(v);
            v->type = core::value_null;
        } else {
            const std::string* a = o->attribute("value");
            core::value_set_string(v, text16(a ? *a : o->inner_text()));
        }
    } else if (e->tag == "textarea" || !e->attribute("value")) {
        core::value_set_string(v, text16(e->inner_text()));
    } else {
        core::value_set_string(v, text16(*e->attribute("value")));
    }
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlControlSetValue(HELEMENT he, const VALUE* value) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!value) return KVHTML_INVALID_PARAMETER;
    const core::value_record* v = rec(value);
    if (is_toggle(e)) {
        if (core::value_as_bool(*v)) e->state |= core::state_checked;
        else e->state &= ~core::state_checked;
        e->doc->attributes_changed(e, "");
    } else if (e->tag == "input" || e->attribute("value")) {
        e->set_attribute("value", core::utf16_to_utf8(core::value_text(*v)));
        e->doc->attributes_changed(e, "value");
    } else {
        std::u16string t = v->type == core::value_undefined || v->type == core::value_null ? std::u16string() : core::value_text(*v);
        core::set_text(*e->doc, e, core::utf16_to_utf8(t));
    }
    flush_of(e);
    return KVHTML_OK;
}

UINT KVCALL ValueInit(VALUE* value) {
    if (!value) return HV_BAD_PARAMETER;
    core::value_init(rec(value));
    return HV_OK;
}

UINT KVCALL ValueClear(VALUE* value) {
    if (!value) return HV_BAD_PARAMETER;
    core::value_clear(rec(value));
    return HV_OK;
}

UINT KVCALL ValueCopy(VALUE* dst, const VALUE* src) { return core::value_copy(rec(dst), rec(src)); }

UINT KVCALL ValueToString(VALUE* value, UINT) { return core::value_to_string(rec(value)); }

UINT KVCALL ValueStringData(const VALUE* value, LPCWSTR* chars, UINT* length) {
    const char16_t* c = nullptr;
    std::uint32_t n = 0;
    UINT r = core::value_string_data(rec(value), chars ? &c : nullptr, &n);
    if (r == HV_OK) {
        *chars = reinterpret_cast<LPCWSTR>(c);
        if (length) *length = n;
    }
    return r;
}

UINT KVCALL ValueStringDataSet(VALUE* value, LPCWSTR chars, UINT length, UINT units) {
    return core::value_string_data_set(rec(value), reinterpret_cast<const char16_t*>(chars), length, units);
}

}  // extern "C"
