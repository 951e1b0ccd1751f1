// Text helpers of the engine core: everything inside is UTF-8; documents
// arrive as bytes in UTF-8 or UTF-16 and leave as UTF-8 or UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace kvhtml::core {

// Bytes of a document or style sheet to UTF-8: a UTF-8 byte order mark is
// dropped, UTF-16 (little or big endian, with its mark) is converted, and
// every invalid sequence becomes U+FFFD so that the inside stays valid.
std::string decode_bytes(std::string_view bytes);

std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);
void append_utf8(std::string& out, char32_t code);

std::string lower_ascii(std::string_view text);
bool iequals(std::string_view a, std::string_view b);
inline bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
std::string_view trim(std::string_view text);
// Splits at runs of white space.
template <class F>
void for_each_word(std::string_view text, F&& f) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_space(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !is_space(text[i])) ++i;
        if (i > start) f(text.substr(start, i - start));
    }
}
bool has_word(std::string_view list, std::string_view word);

}  // namespace kvhtml::core
