// Character references: the named ones in common use, and numeric ones.
#include <cstring>

#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

struct named_reference {
    const char* name;
    char32_t code;
};

const named_reference references[] = {
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0},
    {"copy", 0xA9}, {"reg", 0xAE}, {"trade", 0x2122}, {"hellip", 0x2026}, {"mdash", 0x2014},
    {"ndash", 0x2013}, {"laquo", 0xAB}, {"raquo", 0xBB}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"sbquo", 0x201A}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
    {"bdquo", 0x201E}, {"bull", 0x2022}, {"middot", 0xB7}, {"times", 0xD7}, {"divide", 0xF7},
    {"deg", 0xB0}, {"plusmn", 0xB1}, {"euro", 0x20AC}, {"pound", 0xA3}, {"yen", 0xA5},
    {"cent", 0xA2}, {"sect", 0xA7}, {"para", 0xB6}, {"shy", 0xAD}, {"ensp", 0x2002},
    {"emsp", 0x2003}, {"thinsp", 0x2009}, {"zwnj", 0x200C}, {"zwj", 0x200D}, {"lrm", 0x200E},
    {"rlm", 0x200F}, {"larr", 0x2190}, {"uarr", 0x2191}, {"rarr", 0x2192}, {"darr", 0x2193},
    {"harr", 0x2194}, {"iexcl", 0xA1}, {"iquest", 0xBF}, {"frac12", 0xBD}, {"frac14", 0xBC},
    {"frac34", 0xBE}, {"sup1", 0xB9}, {"sup2", 0xB2}, {"sup3", 0xB3}, {"micro", 0xB5},
    {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030}, {"prime", 0x2032},
    {"infin", 0x221E}, {"ne", 0x2260}, {"le", 0x2264}, {"ge", 0x2265}, {"minus", 0x2212},
    {"check", 0x2713}, {"auml", 0xE4}, {"ouml", 0xF6}, {"uuml", 0xFC}, {"Auml", 0xC4},
    {"Ouml", 0xD6}, {"Uuml", 0xDC}, {"szlig", 0xDF}, {"eacute", 0xE9}, {"egrave", 0xE8},
    {"ecirc", 0xEA}, {"aacute", 0xE1}, {"agrave", 0xE0}, {"acirc", 0xE2}, {"ccedil", 0xE7},
    {"iacute", 0xED}, {"oacute", 0xF3}, {"uacute", 0xFA}, {"ntilde", 0xF1}, {"Eacute", 0xC9},
};

// Reads a reference after '&' at text[i]; on success appends it and moves i
// past it (and its ';').
bool read_reference(std::string_view text, size_t& i, std::string& out, bool in_attribute) {
    size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
        ++j;
        bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
        if (hex) ++j;
        size_t start = j;
        std::uint32_t code = 0;
        while (j < text.size()) {
            char c = text[j];
            int d = c >= '0' && c <= '9' ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
            if (d < 0) break;
            if (code <= 0x10FFFF) code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            ++j;
        }
        if (j == start) return false;
        if (j < text.size() && text[j] == ';') ++j;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        append_utf8(out, code);
        i = j;
        return true;
    }
    size_t start = j;
    while (j < text.size() && j - start < 10 &&
           ((text[j] >= 'a' && text[j] <= 'z') || (text[j] >= 'A' && text[j] <= 'Z') || (text[j] >= '0' && text[j] <= '9')))
        ++j;
    std::string_view name = text.substr(start, j - start);
    bool semicolon = j < text.size() && text[j] == ';';
    // In attribute values a reference without ';' followed by more letters
    // is left alone, as browsers do ("?a=1&copy=2").
    if (!semicolon && in_attribute) return false;
    for (const auto& r : references) {
        if (name == r.name) {
            append_utf8(out, r.code);
            i = j + (semicolon ? 1 : 0);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string decode_entities(std::string_view text, bool in_attribute) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&' && read_reference(text, i, out, in_attribute)) continue;
        out += text[i++];
    }
    return out;
}

}  // namespace kvhtml::core
