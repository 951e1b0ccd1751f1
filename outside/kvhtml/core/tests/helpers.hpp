// Small helpers for the core tests: a page from markup and named sheets,
// and compact descriptions of elements to compare against.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "outside/kvhtml/core/dom.hpp"
#include "outside/kvhtml/core/page.hpp"
#include "outside/kvhtml/core/selector.hpp"
#include "outside/kvhtml/core/style.hpp"

namespace kvhtml::core::testing {

struct page {
    document doc;
    std::map<std::string, std::string> files;  // url -> bytes the fetcher gives
    std::vector<std::string> fetched;

    explicit page(const std::string& html, std::map<std::string, std::string> f = {}) : files(std::move(f)) {
        load(html);
    }
    void load(const std::string& html, const std::string& base = "") {
        load_page(doc, html, base, [this](const std::string& url) -> std::optional<std::string> {
            fetched.push_back(url);
            auto it = files.find(url);
            if (it == files.end()) return std::nullopt;
            return it->second;
        });
        doc.styles->restyle(doc);
    }
    element* root() const { return doc.root(); }
    element* id(const std::string& name) {
        auto* list = doc.by_id(name);
        return list ? list->front() : nullptr;
    }
    // Ids (or tags, for elements without one) of the matches, comma separated;
    // "invalid" for a selector that does not parse.
    std::string select(const std::string& selector, element* under = nullptr) {
        auto sel = compiled_selector(selector);
        if (!sel) return "invalid";
        std::vector<element*> out;
        select_all(doc, under ? under : root(), *sel, out);
        return names(out);
    }
    std::string style(const std::string& element_id, property p) {
        doc.styles->restyle(doc);
        return (*id(element_id)->style)[p];
    }
    static std::string names(const std::vector<element*>& list) {
        std::string out;
        for (element* e : list) {
            if (!out.empty()) out += ',';
            const std::string* i = e->attribute("id");
            out += i ? *i : e->tag;
        }
        return out;
    }
};

// The tree as text: tags, ids and text, e.g. "div#a(p('x'),br)".
std::string shape(const node* n);

}  // namespace kvhtml::core::testing
