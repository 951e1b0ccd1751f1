#include <gtest/gtest.h>

#include "outside/kvhtml/core/value.hpp"

namespace kvhtml::core {
namespace {

TEST(values, convert_to_strings) {
    value_record v;
    value_init(&v);
    struct text_case {
        void (*set)(value_record*);
        const char16_t* text;
    };
    const text_case cases[] = {
        {[](value_record* r) { value_clear(r); }, u"undefined"},
        {[](value_record* r) { value_clear(r); r->type = value_null; }, u"null"},
        {[](value_record* r) { value_set_bool(r, true); }, u"true"},
        {[](value_record* r) { value_set_bool(r, false); }, u"false"},
        {[](value_record* r) { value_set_int(r, -42); }, u"-42"},
        {[](value_record* r) { value_set_float(r, 2.5); }, u"2.5"},
        {[](value_record* r) { value_set_string(r, u"x\u00E9"); }, u"x\u00E9"},
    };
    for (auto& c : cases) {
        c.set(&v);
        EXPECT_EQ(value_to_string(&v), value_ok);
        const char16_t* chars = nullptr;
        std::uint32_t length = 99;
        ASSERT_EQ(value_string_data(&v, &chars, &length), value_ok);
        EXPECT_EQ(std::u16string(chars, length), c.text);
    }
    value_clear(&v);
}

TEST(values, copies_share_strings_until_cleared) {
    value_record a, b;
    value_init(&a);
    value_init(&b);
    const char16_t text[] = u"hello";
    ASSERT_EQ(value_string_data_set(&a, text, 5, 7), value_ok);
    EXPECT_EQ(a.units, 7u);
    ASSERT_EQ(value_copy(&b, &a), value_ok);
    value_clear(&a);
    const char16_t* chars = nullptr;
    std::uint32_t length = 0;
    ASSERT_EQ(value_string_data(&b, &chars, &length), value_ok);
    EXPECT_EQ(std::u16string(chars, length), u"hello");
    EXPECT_EQ(value_copy(&b, &b), value_ok);  // onto itself: unchanged
    EXPECT_EQ(value_string_data(&b, &chars, &length), value_ok);
    value_clear(&b);
    EXPECT_EQ(b.type, value_undefined);

    value_set_int(&a, 1);
    EXPECT_EQ(value_string_data(&a, &chars, &length), value_incompatible_type);
    EXPECT_EQ(value_string_data(nullptr, &chars, &length), value_bad_parameter);
    EXPECT_EQ(value_string_data_set(&a, nullptr, 3, 0), value_bad_parameter);
    EXPECT_EQ(value_copy(nullptr, &a), value_bad_parameter);
    EXPECT_EQ(value_to_string(nullptr), value_bad_parameter);
}

}  // namespace
}  // namespace kvhtml::core
