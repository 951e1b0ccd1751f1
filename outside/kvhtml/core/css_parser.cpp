#include <algorithm>

#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

// Removes comments; everything after is plain scanning with quotes and
// brackets respected.
std::string strip_comments(std::string_view css) {
    std::string out;
    out.reserve(css.size());
    size_t i = 0;
    while (i < css.size()) {
        char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
            out += ' ';
        } else if (c == '"' || c == '\'') {
            size_t j = i + 1;
            while (j < css.size() && css[j] != c && css[j] != '\n') j += css[j] == '\\' ? 2 : 1;
            j = std::min(j + 1, css.size());
            out.append(css.substr(i, j - i));
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Index of the first `stop` at nesting depth 0, or the end.
size_t find_top_level(std::string_view s, size_t from, std::string_view stops) {
    int depth = 0;
    for (size_t i = from; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"' || c == '\'') {
            size_t j = i + 1;
            while (j < s.size() && s[j] != c) j += s[j] == '\\' ? 2 : 1;
            i = std::min(j, s.size());
            continue;
        }
        if (depth == 0 && stops.find(c) != std::string_view::npos) return i;
        if (c == '(' || c == '[' || c == '{') ++depth;
        else if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
    }
    return s.size();
}

// The inside of the block that opens at s[open] == '{'; `after` is set past
// its end. An unclosed block runs to the end of the sheet.
std::string_view block_body(std::string_view s, size_t open, size_t& after) {
    size_t close = find_top_level(s, open + 1, "}");
    after = close < s.size() ? close + 1 : s.size();
    return s.substr(open + 1, close - open - 1);
}

std::string import_url(std::string_view prelude) {
    std::string_view p = trim(prelude);
    if (p.size() >= 4 && iequals(p.substr(0, 4), "url(")) {
        size_t close = p.find(')');
        p = trim(p.substr(4, close == std::string_view::npos ? std::string_view::npos : close - 4));
    } else {
        size_t space = find_top_level(p, 0, " \t\n");
        p = p.substr(0, space);
    }
    if (p.size() >= 2 && (p.front() == '"' || p.front() == '\'') && p.back() == p.front()) p = p.substr(1, p.size() - 2);
    return std::string(p);
}

bool media_applies(std::string_view query) {
    std::string q = lower_ascii(trim(query));
    if (q.empty()) return true;
    return q.find("screen") != std::string::npos || q.find("all") != std::string::npos;
}

void parse_rules(std::string_view s, stylesheet& out, bool allow_imports, int depth) {
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (is_space(s[i]) || s[i] == ';' || s[i] == '}')) ++i;
        if (i >= s.size()) break;
        if (s[i] == '@') {
            size_t end = find_top_level(s, i, ";{");
            std::string_view prelude = s.substr(i + 1, end - i - 1);
            size_t name_end = 0;
            while (name_end < prelude.size() && !is_space(prelude[name_end]) && prelude[name_end] != '"' &&
                   prelude[name_end] != '\'' && prelude[name_end] != '(')
                ++name_end;
            std::string name = lower_ascii(prelude.substr(0, name_end));
            if (end < s.size() && s[end] == '{') {
                size_t after = 0;
                std::string_view body = block_body(s, end, after);
                if (name == "media" && depth < 4 && media_applies(prelude.substr(name_end)))
                    parse_rules(body, out, false, depth + 1);
                i = after;
            } else {
                if (name == "import" && allow_imports) {
                    std::string url = import_url(prelude.substr(name_end));
                    if (!url.empty()) out.imports.push_back(std::move(url));
                }
                i = end < s.size() ? end + 1 : s.size();
            }
            if (name != "import" && name != "charset") allow_imports = false;
            continue;
        }
        allow_imports = false;
        size_t open = find_top_level(s, i, "{");
        if (open >= s.size()) break;  // a selector without a block ends the sheet
        std::string_view prelude = trim(s.substr(i, open - i));
        size_t after = 0;
        std::string_view body = block_body(s, open, after);
        if (auto sel = parse_selector(prelude)) {
            auto block = std::make_shared<declaration_block>(parse_declarations(body));
            if (!block->empty()) out.rules.push_back(style_rule{std::move(*sel), std::move(block)});
        }
        i = after;
    }
}

}  // namespace

stylesheet parse_stylesheet(std::string_view css) {
    stylesheet out;
    std::string clean = strip_comments(css);
    parse_rules(clean, out, true, 0);
    return out;
}

declaration_block parse_declarations(std::string_view text) {
    declaration_block out;
    std::string clean;
    if (text.find("/*") != std::string_view::npos) {
        clean = strip_comments(text);
        text = clean;
    }
    size_t i = 0;
    while (i < text.size()) {
        size_t end = find_top_level(text, i, ";");
        std::string_view item = text.substr(i, end - i);
        i = end + 1;
        size_t colon = item.find(':');
        if (colon == std::string_view::npos) continue;
        std::string name = lower_ascii(trim(item.substr(0, colon)));
        std::string_view value = trim(item.substr(colon + 1));
        bool important = false;
        size_t bang = value.rfind('!');
        if (bang != std::string_view::npos && iequals(trim(value.substr(bang + 1)), "important")) {
            important = true;
            value = trim(value.substr(0, bang));
        }
        expand_declaration(name, value, important, out);
    }
    return out;
}

}  // namespace kvhtml::core
