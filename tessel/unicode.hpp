// Conversions between UTF-16 and Windows code pages with a strict error
// policy: a failure is one of the exceptions below, never a partial result.
#pragma once

#include <string>
#include <string_view>

#include "tessel/exception.hpp"

namespace tessel::unicode {

TESSEL_EXCEPTION(generic, tessel::exception, "unicode");
TESSEL_EXCEPTION(invalid_codepage, generic, "invalid_codepage");
TESSEL_EXCEPTION(unmappable_character, generic, "unmappable_character");
TESSEL_EXCEPTION(out_of_memory, generic, "out_of_memory");

// code_page: 0 = ANSI, 1 = OEM, 65001 = UTF-8, or any Windows code page.
// strict: a character the code page cannot represent throws
// unmappable_character instead of becoming the default character.
std::string to_narrow(std::wstring_view text, unsigned code_page, bool strict = true);
std::wstring to_wide(std::string_view bytes, unsigned code_page);

// Shorthands for the two encodings used at the program's edges.
inline std::string to_utf8(std::wstring_view text) { return to_narrow(text, 65001); }
inline std::wstring from_utf8(std::string_view bytes) { return to_wide(bytes, 65001); }

// Code pages that take no conversion flags (and no used-default report).
bool takes_no_flags(unsigned code_page);

}  // namespace tessel::unicode
