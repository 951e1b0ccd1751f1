// The value record the host and the engine pass: 16 bytes, a type, a unit
// and eight bytes of data. Strings are UTF-16, counted and shared between
// copies; every record must end with value_clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvhtml::core {

struct value_record {
    std::uint32_t type;
    std::uint32_t units;
    std::uint64_t data;
};
static_assert(sizeof(value_record) == 16, "the value record is 16 bytes on every platform");

enum value_type : std::uint32_t {
    value_undefined = 0,
    value_null = 1,
    value_bool = 2,
    value_int = 3,
    value_float = 4,
    value_string = 5,
};

enum value_result : std::uint32_t {
    value_ok = 0,
    value_bad_parameter = 1,
    value_incompatible_type = 2,
};

void value_init(value_record* v);
void value_clear(value_record* v);
std::uint32_t value_copy(value_record* dst, const value_record* src);
// Turns any value into its string form, in place.
std::uint32_t value_to_string(value_record* v);
std::uint32_t value_string_data(const value_record* v, const char16_t** chars, std::uint32_t* length);
std::uint32_t value_string_data_set(value_record* v, const char16_t* chars, std::uint32_t length, std::uint32_t units);

void value_set_bool(value_record* v, bool b);
void value_set_int(value_record* v, std::int32_t i);
void value_set_float(value_record* v, double d);
void value_set_string(value_record* v, std::u16string text);
std::u16string value_text(const value_record& v);  // string form, without changing v
bool value_as_bool(const value_record& v);

}  // namespace kvhtml::core
