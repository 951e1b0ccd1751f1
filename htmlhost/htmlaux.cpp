#include "htmlhost/htmlaux.hpp"

#include "tessel/log.hpp"

namespace htmlaux {

namespace {

// The common pattern: find, change, release; log instead of failing.
template <class F>
void on_first(const char* scope, const element& root, const char* selector, F&& change) {
    try {
        element e = root.find_first(selector);
        if (!e) {
            log_error("{%s}: no element with css rule {%s}", scope, selector);
            return;
        }
        change(e);
    } catch (...) {
        log_exception(scope);
    }
}

}  // namespace

void show(const element& root, const char* selector) {
    on_first("htmlaux::show", root, selector, [](const element& e) { e["-display"] = L"block"; });
}

void hide(const element& root, const char* selector) {
    on_first("htmlaux::hide", root, selector, [](const element& e) { e["-display"] = L"none"; });
}

void enable(const element& root, const char* selector) {
    on_first("htmlaux::enable", root, selector, [](const element& e) { e.set_state(KVHTML_STATE_DISABLED, false); });
}

void disable(const element& root, const char* selector) {
    on_first("htmlaux::disable", root, selector, [](const element& e) { e.set_state(KVHTML_STATE_DISABLED, true); });
}

void check(const element& root, const char* selector, bool checked) {
    on_first("htmlaux::check", root, selector, [&](const element& e) { e.set_state(KVHTML_STATE_CHECKED, checked); });
}

bool is_checked(const element& root, const char* selector) {
    bool checked = false;
    on_first("htmlaux::is_checked", root, selector,
             [&](const element& e) { checked = (e.get_state() & KVHTML_STATE_CHECKED) != 0; });
    return checked;
}

void set_text(const element& root, const char* selector, const wchar_t* text) {
    on_first("htmlaux::set_text", root, selector, [&](const element& e) { e.set_text(text); });
}

void replace_key(const element& root, const char* selector, const std::wstring& key,
                 kvhtml::behavior_value& translator) {
    on_first("htmlaux::replace_key", root, selector, [&](const element& e) { translator.rebind(e, key); });
}

}  // namespace htmlaux
