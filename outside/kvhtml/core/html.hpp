// HTML to tree and back. The parser is tolerant in the way of a browser for
// the markup pages carry: it never fails, never loops, and always gives a
// tree (see README for what it understands).
#pragma once

#include <string>
#include <string_view>

#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

// A whole page: the root is always an "html" element; a page's own <html>
// tag only lends it its attributes. Input is UTF-8 (see decode_bytes).
element* parse_document(document& doc, std::string_view utf8);
// Markup parsed and appended to parent's children.
void parse_into(document& doc, element* parent, std::string_view utf8);

// Decodes character references in text ("&amp;", "&#233;", "&#xE9;").
std::string decode_entities(std::string_view text, bool in_attribute);

std::string to_html(const element& e, bool outer);
void escape_text(std::string& out, std::string_view text, bool in_attribute);

}  // namespace kvhtml::core
