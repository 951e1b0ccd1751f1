#include "htmlhost/behavior_value.hpp"

#include <algorithm>

#include "tessel/log.hpp"

namespace kvhtml {

namespace {

bool in_overflow_tooltip(const dom::element& e) {
    dom::element parent = e.parent();
    return parent && parent.get_attribute("role") == L"overflow-tooltip";
}

}  // namespace

void behavior_value::attached(HELEMENT he) {
    // Whatever goes wrong, the element keeps the content the page gave it.
    try {
        dom::element e(he, dom::element::checked);
        if (in_overflow_tooltip(e)) return;
        std::wstring key = e.get_attribute("key");
        if (key.empty()) return;
        bind(e, key);
        std::string markup = value_for_key(key);
        if (!markup.empty()) e.set_html(markup);
    } catch (...) {
    }
}

void behavior_value::detached(HELEMENT he) {
    try {
        dom::element e(he);
        if (!e) {
            // A handle the engine no longer honours: drop it by address.
            for (auto it = bound_.begin(); it != bound_.end();) {
                auto& list = it->second;
                list.erase(std::remove_if(list.begin(), list.end(),
                                          [&](const dom::element& x) { return x.handle() == he; }),
                           list.end());
                it = list.empty() ? bound_.erase(it) : std::next(it);
            }
            return;
        }
        unbind(e, e.get_attribute("key"));
    } catch (...) {
    }
}

void behavior_value::unbind(const dom::element& e, const std::wstring& key) {
    auto drop = [&](std::map<std::wstring, std::vector<dom::element>>::iterator it) {
        auto& list = it->second;
        auto found = std::find(list.begin(), list.end(), e);
        if (found == list.end()) return std::make_pair(false, std::next(it));
        list.erase(found);
        return std::make_pair(true, list.empty() ? bound_.erase(it) : std::next(it));
    };
    auto own = bound_.find(key);
    if (own != bound_.end() && drop(own).first) return;
    // Its "key" was changed behind our back: look everywhere.
    for (auto it = bound_.begin(); it != bound_.end();) it = drop(it).second;
}

void behavior_value::bind(const dom::element& e, const std::wstring& key) {
    auto& list = bound_[key];
    if (std::find(list.begin(), list.end(), e) == list.end()) list.push_back(e);
}

void behavior_value::rebind(const dom::element& e, const std::wstring& key) {
    unbind(e, e.get_attribute("key"));
    bind(e, key);
    e.set_attribute("key", key.c_str());
    std::string markup = value_for_key(key);
    if (!markup.empty()) e.set_html(markup);
}

void behavior_value::refresh(const std::wstring& key) {
    auto render = [&](const std::wstring& k) {
        auto it = bound_.find(k);
        if (it == bound_.end()) return;
        std::string markup = value_for_key(k);
        if (markup.empty()) return;
        // A copy: setting content may detach and re-attach elements.
        std::vector<dom::element> elements = it->second;
        for (auto& e : elements) {
            // One element that cannot take it must not leave the rest untranslated.
            try {
                e.set_html(markup);
            } catch (...) {
                log_exception("behavior_value::refresh");
            }
        }
    };
    if (!key.empty()) {
        render(key);
        return;
    }
    std::vector<std::wstring> keys;
    for (auto& [k, list] : bound_) keys.push_back(k);
    for (auto& k : keys) render(k);
}

size_t behavior_value::bound_count(const std::wstring& key) const {
    auto it = bound_.find(key);
    return it == bound_.end() ? 0 : it->second.size();
}

}  // namespace kvhtml
