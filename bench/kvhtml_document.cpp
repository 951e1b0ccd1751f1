// The HTML engine's document side over a generated page of about 300 KB
// and 5,000 elements: parse plus cascade, lookups by id, a complex selector
// over all elements, and inserts and deletes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "outside/kvhtml/core/page.hpp"
#include "outside/kvhtml/core/selector.hpp"
#include "outside/kvhtml/core/style.hpp"

using namespace kvhtml::core;
using clock_type = std::chrono::steady_clock;

namespace {

double ms_since(clock_type::time_point start) {
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// A page shaped like the program's lists: rows of cells with classes,
// attributes and text, and a sheet of a hundred rules.
std::string generated_page(size_t elements) {
    std::string css = "<style>";
    for (int i = 0; i < 100; ++i) {
        css += ".c" + std::to_string(i) + " { color: #" + std::to_string(100 + i) + "; margin: 1px " +
               std::to_string(i) + "px }\n";
        css += "div.row[data-k='" + std::to_string(i) + "'] > span:first-child { font-weight: bold }\n";
    }
    css += "#list > div:nth-child(2n+1) { background: #eee } span.cell:not(.hidden) { padding: 2px 4px }"
           " .row:hover { background-color: blue } .row .cell + .cell { border-left: 1px solid gray }</style>";
    std::string html = "<!DOCTYPE html><html><head>" + css + "</head><body><div id=list>";
    size_t made = 3;
    for (size_t row = 0; made < elements; ++row) {
        html += "<div class='row c" + std::to_string(row % 100) + "' id=r" + std::to_string(row) + " data-k=" +
                std::to_string(row % 100) + " title='Row " + std::to_string(row) + "'>";
        for (int cell = 0; cell < 4 && made < elements; ++cell, ++made)
            html += "<span class='cell" + std::string(cell == 3 ? " hidden" : "") + "'>Device driver " +
                    std::to_string(row) + "." + std::to_string(cell) + " &amp; text</span>";
        ++made;
        html += "</div>\n";
    }
    return html + "</div></body></html>";
}

size_t count_elements(const element* e) {
    size_t n = 1;
    for (const element* k : e->kids) n += count_elements(k);
    return n;
}

}  // namespace

int main() {
    const std::string html = generated_page(5000);
    std::printf("page: %zu bytes\n", html.size());

    // Parse plus cascade, best of five.
    double parse_ms = 1e9;
    for (int round = 0; round < 5; ++round) {
        document doc;
        auto start = clock_type::now();
        load_page(doc, html, "", {});
        doc.styles->restyle(doc);
        parse_ms = std::min(parse_ms, ms_since(start));
    }
    document doc;
    load_page(doc, html, "", {});
    doc.styles->restyle(doc);
    std::printf("elements: %zu\n", count_elements(doc.root()));
    std::printf("parse_and_cascade: %.2f ms (target < 30)\n", parse_ms);

    // Lookups by id, as KvhtmlSelectElements does them: compiled selector
    // from the cache, then the id index.
    const int lookups = 100000;
    std::vector<std::string> selectors;
    for (int i = 0; i < 1000; ++i) selectors.push_back("#r" + std::to_string(i));
    std::vector<element*> found;
    size_t hits = 0;
    auto start = clock_type::now();
    for (int i = 0; i < lookups; ++i) {
        found.clear();
        auto sel = compiled_selector(selectors[static_cast<size_t>(i) % selectors.size()]);
        select_all(doc, doc.root(), *sel, found, 1);
        hits += found.size();
    }
    double lookup_us = ms_since(start) * 1000.0 / lookups;
    std::printf("lookup_by_id: %.3f us (target < 1; %zu found)\n", lookup_us, hits);

    // A complex selector over all elements, best of five.
    auto complex = compiled_selector("#list > div.row[data-k^='1']:not(.c13) span.cell:nth-child(2n+1):not(.hidden)");
    double complex_ms = 1e9;
    for (int round = 0; round < 5; ++round) {
        found.clear();
        start = clock_type::now();
        select_all(doc, doc.root(), *complex, found);
        complex_ms = std::min(complex_ms, ms_since(start));
    }
    std::printf("complex_selector: %.3f ms (target < 2; %zu matches)\n", complex_ms, found.size());

    // Inserts and deletes, each followed by the restyle the engine does
    // after a change, and one full restyle at the end (as before a read).
    element* list = doc.by_id("list")->front();
    start = clock_type::now();
    for (int i = 0; i < 10000; ++i) {
        element* e = doc.create_element("span");
        e->set_attribute("class", "cell");
        doc.insert(list, e, static_cast<size_t>(i % 50));
        doc.styles->restyle(doc, {}, true);
        doc.destroy(e);
    }
    doc.styles->restyle(doc);
    double churn_ms = ms_since(start);
    std::printf("insert_and_delete: %.2f ms for 10000 (%.2f us each)\n", churn_ms, churn_ms * 1000.0 / 10000);
    return 0;
}
