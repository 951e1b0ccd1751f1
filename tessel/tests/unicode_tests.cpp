#include <gtest/gtest.h>

#include <windows.h>

#include "tessel/unicode.hpp"

using namespace tessel::unicode;

TEST(unicode, empty_text_converts_without_looking_at_the_code_page) {
    EXPECT_EQ(to_narrow(L"", 12345), "");
    EXPECT_EQ(to_wide("", 12345), L"");
}

TEST(unicode, unknown_code_page) {
    EXPECT_THROW(to_narrow(L"abc", 12345), invalid_codepage);
    EXPECT_THROW(to_wide("abc", 12345), invalid_codepage);
}

TEST(unicode, invalid_shift_jis_sequence_is_unmappable) {
    // 0x81 starts a two-byte character; 0x20 cannot end one.
    EXPECT_THROW(to_wide(std::string("\x81\x20", 2), 932), unmappable_character);
    EXPECT_EQ(to_wide("\x93\xfa\x96\x7b", 932), L"\x65E5\x672C");
}

TEST(unicode, strict_flag_decides_between_exception_and_default_character) {
    EXPECT_THROW(to_narrow(L"a\x4E2D", 1252, true), unmappable_character);
    EXPECT_EQ(to_narrow(L"a\x4E2D", 1252, false), "a?");
    EXPECT_EQ(to_narrow(L"caf\x00E9", 1252, true), "caf\xE9");
}

TEST(unicode, utf8_takes_no_flags_so_invalid_input_does_not_throw) {
    EXPECT_NO_THROW(to_wide("a\xFF" "b", CP_UTF8));
    EXPECT_EQ(to_wide("a\xFF" "b", CP_UTF8), L"a\xFFFD" L"b");
    // A lone surrogate is replaced, not refused.
    EXPECT_NO_THROW(to_narrow(std::wstring(1, L'\xD800'), CP_UTF8, true));
}

TEST(unicode, round_trips) {
    struct row {
        unsigned code_page;
        std::wstring text;
    } rows[] = {
        {CP_UTF8, L"plain"},
        {CP_UTF8, L"\x00E9\x4E2D\xD83D\xDE00"},  // two, three and four UTF-8 bytes
        {1252, L"Gr\x00FC\x00DF" L"e"},
        {932, L"\x65E5\x672C\x8A9E"},
        {936, L"\x4E2D\x6587"},
        {CP_ACP, L"ascii only"},
    };
    for (const row& r : rows) {
        const std::string bytes = to_narrow(r.text, r.code_page);
        EXPECT_EQ(to_wide(bytes, r.code_page), r.text) << "code page " << r.code_page;
    }
    EXPECT_EQ(to_utf8(L"\x00E9"), "\xC3\xA9");
}

TEST(unicode, code_pages_that_take_no_flags) {
    for (unsigned cp : {42u, 50221u, 50222u, 50225u, 50227u, 50229u, 52936u, 54936u, 57002u, 57011u, 65000u, 65001u})
        EXPECT_TRUE(takes_no_flags(cp)) << cp;
    for (unsigned cp : {0u, 1u, 437u, 932u, 1252u, 50220u, 57001u, 57012u}) EXPECT_FALSE(takes_no_flags(cp)) << cp;
}
