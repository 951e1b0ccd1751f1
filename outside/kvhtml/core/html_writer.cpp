#include "outside/kvhtml/core/html.hpp"

namespace kvhtml::core {

void escape_text(std::string& out, std::string_view text, bool in_attribute) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += in_attribute ? "<" : "&lt;"; break;
        case '>': out += in_attribute ? ">" : "&gt;"; break;
        case '"': out += in_attribute ? "&quot;" : "\""; break;
        default: out += c;
        }
    }
}

namespace {

bool raw_text_element(std::string_view t) { return t == "script" || t == "style"; }

void write_node(std::string& out, const node& n, bool raw) {
    if (n.kind == node::text_node) {
        if (raw) out += n.data; else escape_text(out, n.data, false);
        return;
    }
    if (n.kind == node::comment_node) {
        out += "<!--";
        out += n.data;
        out += "-->";
        return;
    }
    const auto& e = static_cast<const element&>(n);
    out += '<';
    out += e.tag;
    for (auto& a : e.attributes) {
        out += ' ';
        out += a.first;
        out += "=\"";
        escape_text(out, a.second, true);
        out += '"';
    }
    out += '>';
    if (is_void_element(e.tag)) return;
    bool r = raw_text_element(e.tag);
    for (const node* c : e.nodes) write_node(out, *c, r);
    out += "</";
    out += e.tag;
    out += '>';
}

}  // namespace

std::string to_html(const element& e, bool outer) {
    std::string out;
    if (outer) {
        write_node(out, e, false);
    } else {
        bool r = raw_text_element(e.tag);
        for (const node* c : e.nodes) write_node(out, *c, r);
    }
    return out;
}

}  // namespace kvhtml::core
