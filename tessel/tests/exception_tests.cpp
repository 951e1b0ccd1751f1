#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tessel/asynchronous_queue.hpp"
#include "tessel/exception.hpp"
#include "tessel/gui.hpp"
#include "tessel/log.hpp"
#include "tessel/registry2.hpp"
#include "tessel/unicode.hpp"

namespace {

using queue = tessel::container::asynchronous_queue<std::function<void()>>;

template <class E>
std::string what_of() {
    try {
        throw E("msg");
    } catch (const tessel::exception& e) {
        return e.what();
    }
}

TEST(exception, what_text_is_kind_bracket_message_bracket_for_every_kind) {
    struct row {
        const char* name;
        std::string what;
        const char* expected;
    } rows[] = {
        {"tessel::exception", what_of<tessel::exception>(), "[msg]"},
        {"log::generic", what_of<tessel::log::generic>(), "log[msg]"},
        {"registry2::generic", what_of<tessel::registry2::generic>(), "registry2[msg]"},
        {"registry2::key_error", what_of<tessel::registry2::key_error>(), "registry2.key_error[msg]"},
        {"registry2::value_error", what_of<tessel::registry2::value_error>(), "registry2.value_error[msg]"},
        {"registry2::type_mismatch", what_of<tessel::registry2::type_mismatch>(), "registry2.type_mismatch[msg]"},
        {"registry2::size_mismatch", what_of<tessel::registry2::size_mismatch>(), "registry2.size_mismatch[msg]"},
        {"unicode::generic", what_of<tessel::unicode::generic>(), "unicode[msg]"},
        {"unicode::invalid_codepage", what_of<tessel::unicode::invalid_codepage>(), "unicode.invalid_codepage[msg]"},
        {"unicode::unmappable_character", what_of<tessel::unicode::unmappable_character>(),
         "unicode.unmappable_character[msg]"},
        {"unicode::out_of_memory", what_of<tessel::unicode::out_of_memory>(), "unicode.out_of_memory[msg]"},
        {"gui::base::generic", what_of<tessel::gui::base::generic>(), "gui[msg]"},
        {"queue::generic", what_of<queue::generic>(), "generic[msg]"},
        {"queue::closed", what_of<queue::closed>(), "generic.closed[msg]"},
    };
    for (const row& r : rows) EXPECT_EQ(r.what, r.expected) << r.name;
}

TEST(exception, derived_kinds_are_caught_as_their_bases) {
    try {
        throw tessel::registry2::type_mismatch("x");
    } catch (const tessel::registry2::generic& e) {
        EXPECT_EQ(e.kind(), "registry2.type_mismatch");
        EXPECT_EQ(e.message(), "x");
    }
}

TEST(exception, empty_message_of_a_closed_queue) {
    queue::closed e;
    EXPECT_STREQ(e.what(), "generic.closed[]");
}

TEST(exception, format_constructor_formats_and_never_cuts) {
    const std::string long_text(5000, 'a');
    tessel::exception e("value %d of %s", 42, long_text.c_str());
    EXPECT_EQ(e.message(), "value 42 of " + long_text);
    // Without arguments the text is taken as it stands: no format is applied.
    tessel::exception plain("100% sure %s");
    EXPECT_EQ(plain.message(), "100% sure %s");
}

TEST(exception_w, wide_texts_and_their_narrow_forms) {
    tessel::exception_w e(L"file %s line %d", L"C:\\a.xml", 7);
    EXPECT_STREQ(e.what_w(), L"[file C:\\a.xml line 7]");
    EXPECT_STREQ(e.what(), "[file C:\\a.xml line 7]");
    EXPECT_EQ(e.message_w(), L"file C:\\a.xml line 7");
}

TEST(exception_w, characters_outside_the_ansi_code_page_are_replaced_not_lost) {
    // U+4E2D and U+6587 exist in no single-byte Western code page.
    tessel::exception_w e(std::wstring(L"name \x4E2D\x6587 end"));
    const std::string narrow = e.what();
    EXPECT_EQ(narrow.substr(0, 6), "[name ");
    EXPECT_EQ(narrow.substr(narrow.size() - 5), " end]");
    EXPECT_EQ(e.message_w(), L"name \x4E2D\x6587 end");
    // Caught as a std::exception it still has its text.
    try {
        throw e;
    } catch (const std::exception& caught) {
        EXPECT_EQ(std::string(caught.what()), narrow);
    }
}

TEST(format, grows_past_the_first_buffer_and_takes_wide_strings_with_percent_s) {
    const std::wstring long_text(3000, L'x');
    const std::wstring text = tessel::format(L"<%s|%S|%d>", long_text.c_str(), "narrow", -5);
    EXPECT_EQ(text, L"<" + long_text + L"|narrow|-5>");
    EXPECT_EQ(tessel::format("%.4d/%.2d", 2012, 3), "2012/03");
}

}  // namespace
