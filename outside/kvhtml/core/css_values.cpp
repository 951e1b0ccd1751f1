// Property names, and shorthands taken apart into the longhands we compute.
#include <array>
#include <initializer_list>

#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

const property_info infos[] = {
#define KVHTML_PROPERTY_INFO(id, name, inherited, initial) {name, inherited, initial},
    KVHTML_PROPERTIES(KVHTML_PROPERTY_INFO)
#undef KVHTML_PROPERTY_INFO
};

// Splits a value at top-level white space ("1px solid rgb(0, 0, 0)" gives
// three parts).
std::vector<std::string> parts_of(std::string_view v) {
    std::vector<std::string> out;
    std::string cur;
    int depth = 0;
    char quote = 0;
    for (char c : v) {
        if (quote) {
            cur += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (is_space(c) && depth == 0) {
            if (!cur.empty()) out.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(std::move(cur));
    return out;
}

std::string join(const std::vector<std::string>& parts) {
    std::string out;
    for (auto& p : parts) {
        if (!out.empty()) out += ' ';
        out += p;
    }
    return out;
}

bool keeps_case(property id, std::string_view v) {
    return id == property::behavior || id == property::font_family || v.find('"') != std::string_view::npos ||
           v.find('\'') != std::string_view::npos || v.find("url(") != std::string_view::npos ||
           v.find("URL(") != std::string_view::npos;
}

void add(declaration_block& out, property id, std::string value, bool important) {
    if (!keeps_case(id, value)) value = lower_ascii(value);
    out.push_back(declaration{id, std::move(value), important});
}

bool one_of(std::string_view v, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (iequals(v, w)) return true;
    return false;
}

bool is_length(std::string_view v) {
    if (v.empty()) return false;
    char c = v[0];
    return (c >= '0' && c <= '9') || c == '.' || ((c == '-' || c == '+') && v.size() > 1) ||
           one_of(v, {"thin", "medium", "thick", "auto"}) || v.rfind("calc(", 0) == 0;
}

bool is_border_style(std::string_view v) {
    return one_of(v, {"none", "hidden", "dotted", "dashed", "solid", "double", "groove", "ridge", "inset", "outset"});
}

// Four sides from one to four values, in the order top, right, bottom, left.
bool sides(const std::vector<std::string>& p, std::array<std::string, 4>& out) {
    switch (p.size()) {
    case 1: out = {p[0], p[0], p[0], p[0]}; return true;
    case 2: out = {p[0], p[1], p[0], p[1]}; return true;
    case 3: out = {p[0], p[1], p[2], p[1]}; return true;
    case 4: out = {p[0], p[1], p[2], p[3]}; return true;
    }
    return false;
}

void four(declaration_block& out, std::initializer_list<property> ids, const std::array<std::string, 4>& v, bool imp) {
    size_t k = 0;
    for (property id : ids) add(out, id, v[k++], imp);
}

const std::initializer_list<property> border_widths = {property::border_top_width, property::border_right_width,
                                                       property::border_bottom_width, property::border_left_width};
const std::initializer_list<property> border_styles = {property::border_top_style, property::border_right_style,
                                                       property::border_bottom_style, property::border_left_style};
const std::initializer_list<property> border_colors = {property::border_top_color, property::border_right_color,
                                                       property::border_bottom_color, property::border_left_color};

void border_side(declaration_block& out, const std::vector<std::string>& p, property w, property s, property c,
                 bool imp) {
    std::string width = "medium", style = "none", color = "currentcolor";
    for (auto& x : p) {
        if (is_border_style(x)) style = x;
        else if (is_length(x)) width = x;
        else color = x;
    }
    add(out, w, width, imp);
    add(out, s, style, imp);
    add(out, c, color, imp);
}

bool is_css_wide(std::string_view v) { return one_of(v, {"inherit", "initial", "unset"}); }

}  // namespace

const property_info& info(property p) { return infos[static_cast<size_t>(p)]; }

bool find_property(std::string_view name, property& out) {
    for (size_t i = 0; i < property_count; ++i) {
        if (infos[i].name == name) {
            out = static_cast<property>(i);
            return true;
        }
    }
    return false;
}

bool expand_declaration(std::string_view raw_name, std::string_view raw_value, bool imp, declaration_block& out) {
    std::string name = lower_ascii(trim(raw_name));
    std::vector<std::string> p = parts_of(raw_value);
    if (p.empty()) return false;
    std::string value = join(p);
    if (name == "word-wrap") name = "overflow-wrap";
    if (name == "text-decoration") name = "text-decoration-line";
    property id;
    if (find_property(name, id)) {
        add(out, id, value, imp);
        return true;
    }
    // A shorthand given a CSS-wide keyword passes it to every longhand.
    auto all = [&](std::initializer_list<property> ids) {
        for (property x : ids) add(out, x, value, imp);
        return true;
    };
    std::array<std::string, 4> v;
    if (name == "margin")
        return sides(p, v) && (four(out, {property::margin_top, property::margin_right, property::margin_bottom, property::margin_left}, v, imp), true);
    if (name == "padding")
        return sides(p, v) && (four(out, {property::padding_top, property::padding_right, property::padding_bottom, property::padding_left}, v, imp), true);
    if (name == "inset")
        return sides(p, v) && (four(out, {property::top, property::right, property::bottom, property::left}, v, imp), true);
    if (name == "border-width") return sides(p, v) && (four(out, border_widths, v, imp), true);
    if (name == "border-style") return sides(p, v) && (four(out, border_styles, v, imp), true);
    if (name == "border-color") return sides(p, v) && (four(out, border_colors, v, imp), true);
    if (name == "border-radius") {
        std::vector<std::string> h;
        for (auto& x : p) {
            if (x == "/") break;  // elliptical corners: the horizontal radii only
            h.push_back(x);
        }
        return sides(h, v) && (four(out, {property::border_top_left_radius, property::border_top_right_radius,
                                          property::border_bottom_right_radius, property::border_bottom_left_radius}, v, imp), true);
    }
    if (name == "border") {
        if (is_css_wide(value)) { all(border_widths); all(border_styles); return all(border_colors); }
        for (size_t k = 0; k < 4; ++k)
            border_side(out, p, border_widths.begin()[k], border_styles.begin()[k], border_colors.begin()[k], imp);
        return true;
    }
    static const char* const side_names[] = {"border-top", "border-right", "border-bottom", "border-left"};
    for (size_t k = 0; k < 4; ++k) {
        if (name == side_names[k]) {
            border_side(out, p, border_widths.begin()[k], border_styles.begin()[k], border_colors.begin()[k], imp);
            return true;
        }
    }
    if (name == "overflow") {
        if (p.size() > 2) return false;
        add(out, property::overflow_x, p[0], imp);
        add(out, property::overflow_y, p.size() == 2 ? p[1] : p[0], imp);
        return true;
    }
    if (name == "gap") {
        if (p.size() > 2) return false;
        add(out, property::row_gap, p[0], imp);
        add(out, property::column_gap, p.size() == 2 ? p[1] : p[0], imp);
        return true;
    }
    if (name == "flex-flow") {
        for (auto& x : p) add(out, one_of(x, {"row", "row-reverse", "column", "column-reverse"}) ? property::flex_direction : property::flex_wrap, x, imp);
        return true;
    }
    if (name == "flex") {
        if (is_css_wide(value)) return all({property::flex_grow, property::flex_shrink, property::flex_basis});
        std::string grow = "1", shrink = "1", basis = "0%";
        if (value == "none") grow = "0", shrink = "0", basis = "auto";
        else if (value == "auto") basis = "auto";
        else {
            size_t numbers = 0;
            for (auto& x : p) {
                bool plain = !x.empty() && x.find_first_not_of("0123456789.") == std::string::npos;
                if (plain && numbers == 0) grow = x, ++numbers;
                else if (plain && numbers == 1) shrink = x, ++numbers;
                else basis = x;
            }
        }
        add(out, property::flex_grow, grow, imp);
        add(out, property::flex_shrink, shrink, imp);
        add(out, property::flex_basis, basis, imp);
        return true;
    }
    if (name == "background") {
        if (is_css_wide(value))
            return all({property::background_color, property::background_image, property::background_repeat, property::background_position});
        std::string color = "transparent", image = "none", repeat = "repeat";
        std::vector<std::string> position;
        for (auto& x : p) {
            std::string lower = lower_ascii(x);
            if (lower.rfind("url(", 0) == 0 || lower.find("gradient(") != std::string::npos || lower == "none") image = x;
            else if (one_of(lower, {"repeat", "repeat-x", "repeat-y", "no-repeat", "space", "round"})) repeat = lower;
            else if (is_length(lower) || one_of(lower, {"left", "right", "top", "bottom", "center"})) position.push_back(lower);
            else color = x;
        }
        add(out, property::background_color, color, imp);
        add(out, property::background_image, image, imp);
        add(out, property::background_repeat, repeat, imp);
        add(out, property::background_position, position.empty() ? "0% 0%" : join(position), imp);
        return true;
    }
    if (name == "font") {
        if (is_css_wide(value))
            return all({property::font_style, property::font_weight, property::font_size, property::line_height, property::font_family});
        std::string style = "normal", weight = "normal", size, line = "normal", family;
        size_t k = 0;
        for (; k < p.size(); ++k) {
            std::string lower = lower_ascii(p[k]);
            if (one_of(lower, {"italic", "oblique"})) style = lower;
            else if (one_of(lower, {"bold", "bolder", "lighter"}) || (lower.size() == 3 && lower[1] == '0' && lower[2] == '0')) weight = lower;
            else if (lower == "normal" || lower == "small-caps") continue;
            else break;
        }
        if (k >= p.size()) return false;
        size = p[k++];
        size_t slash = size.find('/');
        if (slash != std::string::npos) {
            line = size.substr(slash + 1);
            size = size.substr(0, slash);
        } else if (k < p.size() && p[k] == "/" && k + 1 < p.size()) {
            line = p[k + 1];
            k += 2;
        } else if (k < p.size() && p[k].size() > 1 && p[k][0] == '/') {
            line = p[k++].substr(1);
        }
        for (; k < p.size(); ++k) family += (family.empty() ? "" : " ") + p[k];
        if (family.empty() || size.empty()) return false;
        add(out, property::font_style, style, imp);
        add(out, property::font_weight, weight, imp);
        add(out, property::font_size, size, imp);
        add(out, property::line_height, line, imp);
        add(out, property::font_family, family, imp);
        return true;
    }
    if (name == "list-style") {
        for (auto& x : p)
            if (!one_of(x, {"inside", "outside"}) && lower_ascii(x).rfind("url(", 0) != 0)
                add(out, property::list_style_type, x, imp);
        return true;
    }
    return false;
}

}  // namespace kvhtml::core
