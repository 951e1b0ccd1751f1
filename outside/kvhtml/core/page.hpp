// Whole-page work: loading a page with its style sheets, and changing an
// element's markup.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

// Gives the bytes behind a URL, or nothing when it cannot be had.
using fetcher = std::function<std::optional<std::string>(const std::string& url)>;

// A relative URL against the URL of the page or sheet that names it;
// absolute ones ("res:x", "file:...", "C:\x", "/x") stay as they are.
std::string resolve_url(std::string_view base, std::string_view url);

// Replaces the document with the page in `bytes` (any encoding that
// decode_bytes knows) and its style sheets: <style>, <link
// rel="stylesheet"> and their @import, in document order.
void load_page(document& doc, std::string_view bytes, std::string base_url, const fetcher& fetch);

enum class html_mode : int {
    replace_content = 0,
    insert_at_start = 1,
    append_at_end = 2,
    replace_element = 3,
    insert_before = 4,
    insert_after = 5,
};
// False for an unknown mode, or an outer mode on an element without parent.
bool set_html(document& doc, element* e, std::string_view utf8, int mode);

// Replaces the content with one text node (empty text: no node).
void set_text(document& doc, element* e, std::string_view utf8);

}  // namespace kvhtml::core
