#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

void append_utf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// Reads one code point at i, advancing i; invalid input gives U+FFFD and
// consumes one byte, so the loop always ends.
char32_t next_utf8(std::string_view s, size_t& i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) { ++i; return b; }
    int len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (len == 0 || i + len > s.size()) { ++i; return 0xFFFD; }
    char32_t c = len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
    for (int k = 1; k < len; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        c = (c << 6) | (t & 0x3F);
    }
    bool overlong = (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) { ++i; return 0xFFFD; }
    i += len;
    return c;
}

std::string from_utf16(std::string_view bytes, bool big_endian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
    }
    return utf16_to_utf8(units);
}

}  // namespace

std::string decode_bytes(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return from_utf16(bytes.substr(2), false);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF)
        return from_utf16(bytes.substr(2), true);
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII are copied as they are: the common case.
        size_t start = i;
        while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80 && bytes[i] != 0) ++i;
        out.append(bytes.data() + start, i - start);
        if (i >= bytes.size()) break;
        if (bytes[i] == 0) { append_utf8(out, 0xFFFD); ++i; continue; }
        append_utf8(out, next_utf8(bytes, i));
    }
    return out;
}

std::u16string utf8_to_utf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        char32_t c = next_utf8(s, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        append_utf8(out, c);
    }
    return out;
}

std::string lower_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view trim(std::string_view t) {
    while (!t.empty() && is_space(t.front())) t.remove_prefix(1);
    while (!t.empty() && is_space(t.back())) t.remove_suffix(1);
    return t;
}

bool has_word(std::string_view list, std::string_view word) {
    bool found = false;
    for_each_word(list, [&](std::string_view w) { found = found || w == word; });
    return found;
}

}  // namespace kvhtml::core
