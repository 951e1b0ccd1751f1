#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tessel/registry2.hpp"

using namespace tessel::registry2;

namespace {

const wchar_t test_path[] = L"Software\\Orvena\\KelvaneTests\\registry2";

// Each test works in its own key and removes it afterwards.
class registry2_test : public testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, test_path);
        root_ = std::make_unique<key>(HKEY_CURRENT_USER);
        key_ = std::make_unique<key>(*root_, test_path, true);
    }
    void TearDown() override {
        key_.reset();
        root_.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, test_path);
    }
    // Stores raw data, bypassing the key object.
    void raw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(key_->handle(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    template <class E, class F>
    std::string failure(F f) {
        try {
            f();
        } catch (const E& e) {
            return e.what();
        } catch (const std::exception& e) {
            return std::string("wrong exception: ") + e.what();
        }
        return "no exception";
    }

    std::unique_ptr<key> root_, key_;
};

TEST_F(registry2_test, typed_values_round_trip) {
    key_->write_string(L"s", L"text \x00E9");
    key_->write_dword(L"d", 0xFFFFFFFFu);
    key_->write_qword(L"q", 0xFFFFFFFF00000001ull);
    key_->write_string(L"empty", L"");
    EXPECT_EQ(key_->read_string(L"s"), L"text \x00E9");
    EXPECT_EQ(key_->read_dword(L"d"), 0xFFFFFFFFu);
    EXPECT_EQ(key_->read_qword(L"q"), 0xFFFFFFFF00000001ull);
    EXPECT_EQ(key_->read_string(L"empty"), L"");
}

TEST_F(registry2_test, missing_values_and_type_mismatches) {
    raw(L"as_string", REG_SZ, L"4", 4);
    const DWORD four = 4;
    raw(L"as_dword", REG_DWORD, &four, 4);
    raw(L"as_binary", REG_BINARY, "ab", 2);

    struct row {
        const char* name;
        std::string what;
        const char* expected;
    } rows[] = {
        {"missing dword", failure<value_error>([&] { key_->read_dword(L"nothing"); }),
         "registry2.value_error[Not found: value \"nothing\"]"},
        {"missing string", failure<value_error>([&] { key_->read_string(L"nothing"); }),
         "registry2.value_error[Not found: value \"nothing\"]"},
        {"dword stored as string", failure<type_mismatch>([&] { key_->read_dword(L"as_string"); }),
         "registry2.type_mismatch[Type mismatch: value \"as_string\" expected 4 found 1]"},
        {"qword stored as dword", failure<type_mismatch>([&] { key_->read_qword(L"as_dword"); }),
         "registry2.type_mismatch[Type mismatch: value \"as_dword\" expected 11 found 4]"},
        {"string stored as binary", failure<type_mismatch>([&] { key_->read_string(L"as_binary"); }),
         "registry2.type_mismatch[Type mismatch: value \"as_binary\" expected 1 found 3]"},
    };
    for (const row& r : rows) EXPECT_EQ(r.what, r.expected) << r.name;
}

TEST_F(registry2_test, wrong_sizes_are_size_mismatches) {
    const unsigned char two[2] = {1, 2};
    raw(L"short_dword", REG_DWORD, two, 2);
    const unsigned char twelve[12] = {};
    raw(L"long_qword", REG_QWORD, twelve, 12);
    EXPECT_EQ(failure<size_mismatch>([&] { key_->read_dword(L"short_dword"); }),
              "registry2.size_mismatch[Size mismatch: value \"short_dword\" expected 4 found 2]");
    EXPECT_EQ(failure<size_mismatch>([&] { key_->read_qword(L"long_qword"); }),
              "registry2.size_mismatch[Size mismatch: value \"long_qword\" expected 8 found 12]");
}

TEST_F(registry2_test, a_failed_read_leaves_the_callers_variable_alone) {
    std::uint32_t value = 77;
    try {
        value = key_->read_dword(L"nothing");
    } catch (const generic&) {
    }
    EXPECT_EQ(value, 77u);
}

TEST_F(registry2_test, strings_with_and_without_their_nul_read_the_same) {
    raw(L"with", REG_SZ, L"abc", 8);
    raw(L"without", REG_SZ, L"abc", 6);
    raw(L"odd", REG_SZ, "a\0b", 3);  // an odd byte count
    EXPECT_EQ(key_->read_string(L"with"), L"abc");
    EXPECT_EQ(key_->read_string(L"without"), L"abc");
    EXPECT_EQ(key_->read_string(L"odd"), L"a");
}

TEST_F(registry2_test, expandable_strings_are_expanded) {
    ::SetEnvironmentVariableW(L"KELVANE_TEST_VAR", L"C:\\Expanded");
    const wchar_t text[] = L"%KELVANE_TEST_VAR%\\sub";
    raw(L"path", REG_EXPAND_SZ, text, sizeof text);
    EXPECT_EQ(key_->read_string(L"path"), L"C:\\Expanded\\sub");
}

TEST_F(registry2_test, subkeys_are_listed_sorted_and_opened) {
    for (const wchar_t* name : {L"9", L"10", L"b", L"A"}) key child(*key_, name, true);
    const auto names = key_->subkey_names();
    EXPECT_EQ(std::vector<std::wstring>(names.begin(), names.end()),
              (std::vector<std::wstring>{L"10", L"9", L"A", L"b"}));
    key opened(*key_, L"10", false);
    EXPECT_TRUE(opened.subkey_names().empty());
}

TEST_F(registry2_test, opening_a_missing_subkey_without_create_is_a_key_error) {
    EXPECT_EQ(failure<key_error>([&] { key k(*key_, L"absent\\deeper", false); }),
              "registry2.key_error[RegOpenKeyEx() failed: key \"absent\\deeper\" (2)]");
}

}  // namespace
