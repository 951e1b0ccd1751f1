#include "outside/kvhtml/core/page.hpp"

#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/style.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

bool is_absolute(std::string_view url) {
    if (url.empty() || url[0] == '/' || url[0] == '\\') return true;
    size_t colon = url.find(':');
    size_t slash = url.find_first_of("/\\?#");
    return colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash);
}

constexpr int max_import_depth = 8;

void add_sheet_with_imports(document& doc, std::string_view css, const std::string& url, const fetcher& fetch,
                            int depth) {
    auto sheet = std::make_shared<stylesheet>(parse_stylesheet(css));
    if (depth < max_import_depth && fetch) {
        for (auto& import : sheet->imports) {
            std::string target = resolve_url(url, import);
            if (auto bytes = fetch(target)) add_sheet_with_imports(doc, decode_bytes(*bytes), target, fetch, depth + 1);
        }
    }
    doc.styles->add_sheet(std::move(sheet));
}

void collect_sheets(document& doc, element* e, const fetcher& fetch) {
    if (e->tag == "style") {
        add_sheet_with_imports(doc, e->inner_text(), doc.base_url, fetch, 0);
        return;
    }
    if (e->tag == "link") {
        const std::string* rel = e->attribute("rel");
        const std::string* href = e->attribute("href");
        if (rel && href && has_word(lower_ascii(*rel), "stylesheet") && fetch) {
            std::string url = resolve_url(doc.base_url, trim(*href));
            if (auto bytes = fetch(url)) add_sheet_with_imports(doc, decode_bytes(*bytes), url, fetch, 1);
        }
        return;
    }
    for (size_t i = 0; i < e->kids.size(); ++i) collect_sheets(doc, e->kids[i], fetch);
}

}  // namespace

std::string resolve_url(std::string_view base, std::string_view url) {
    if (is_absolute(url) || base.empty()) return std::string(url);
    size_t cut = base.find_first_of("?#");
    std::string_view b = base.substr(0, cut);
    size_t slash = b.find_last_of("/\\");
    if (slash == std::string_view::npos) return std::string(url);
    std::string out(b.substr(0, slash + 1));
    // "../" steps back over one folder of the base where there is one.
    while (url.substr(0, 3) == "../" && !out.empty()) {
        size_t prev = out.find_last_of("/\\", out.size() - 2);
        if (prev == std::string::npos) {
            out.clear();
        } else {
            out.resize(prev + 1);
        }
        url.remove_prefix(3);
    }
    while (url.substr(0, 2) == "./") url.remove_prefix(2);
    out += url;
    return out;
}

void load_page(document& doc, std::string_view bytes, std::string base_url, const fetcher& fetch) {
    doc.base_url = std::move(base_url);
    doc.styles->clear_author_sheets();
    element* root = parse_document(doc, decode_bytes(bytes));
    collect_sheets(doc, root, fetch);
}

bool set_html(document& doc, element* e, std::string_view utf8, int mode) {
    if (mode < 0 || mode > 5) return false;
    auto m = static_cast<html_mode>(mode);
    bool outer = m == html_mode::replace_element || m == html_mode::insert_before || m == html_mode::insert_after;
    if (outer && !e->parent) return false;
    // Parsed into a scratch element first, then moved into place.
    element* scratch = doc.create_element(outer ? e->parent->tag : e->tag);
    document::use(scratch);
    parse_into(doc, scratch, utf8);
    element* target = outer ? e->parent : e;
    size_t position = 0;
    switch (m) {
    case html_mode::replace_content:
        doc.remove_children(e);
        position = 0;
        break;
    case html_mode::insert_at_start: position = 0; break;
    case html_mode::append_at_end: position = e->nodes.size(); break;
    default: {
        size_t at = 0;
        while (at < target->nodes.size() && target->nodes[at] != e) ++at;
        position = m == html_mode::insert_after ? at + 1 : at;
    }
    }
    while (!scratch->nodes.empty()) {
        node* n = scratch->nodes.front();
        doc.insert_before_node(target, n, position++);
    }
    if (m == html_mode::replace_element) doc.destroy(e);
    doc.mark_dirty(target);
    document::unuse(scratch);
    return true;
}

void set_text(document& doc, element* e, std::string_view utf8) {
    doc.remove_children(e);
    if (!utf8.empty()) doc.insert_before_node(e, doc.create_text(utf8), 0);
}

}  // namespace kvhtml::core
