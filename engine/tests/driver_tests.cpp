#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "engine/check_result.hpp"
#include "engine/driver.hpp"
#include "support.hpp"
#include "tessel/unicode.hpp"

#include <algorithm>

namespace {

TEST(driver_key, formats_ids_as_eight_hex_digits_and_the_description) {
    struct row {
        std::int32_t device_id, driver_id;
        const wchar_t* description;
        const wchar_t* key;
    } rows[] = {
        {255, 4096, L"Mouse", L"000000ff.00001000.Mouse"},
        {-1, 0, L"", L"ffffffff.00000000."},
        {0x7FFFFFFF, -2, L"Caf\x00E9 %s", L"7fffffff.fffffffe.Caf\x00E9 %s"},
    };
    for (const row& r : rows) {
        hx::driver d;
        d.device_id = r.device_id;
        d.device_driver_id = r.driver_id;
        d.device_description = r.description;
        EXPECT_EQ(hx::driver_key(d), r.key);
    }
}

TEST(driver_key, records_that_differ_only_in_the_available_version_share_it) {
    hx::driver a, b;
    a.device_id = b.device_id = 3;
    a.device_description = b.device_description = L"Disk";
    a.available_driver_version = L"1.0";
    b.available_driver_version = L"2.0";
    EXPECT_EQ(hx::driver_key(a), hx::driver_key(b));
}

TEST(write_driver, writes_every_field_in_order) {
    hx::driver d;
    d.device_id = -1;
    d.device_driver_id = 16;
    d.device_description = L"Mouse";
    d.installed_driver_release_date = SYSTEMTIME{2010, 5, 3, 7, 0, 0, 59, 999};
    std::wostringstream out;
    hx::write_driver(d, out);
    const std::wstring text = out.str();
    const wchar_t* expected_start =
        L"\n   id=ffffffff.00000010.Mouse \n   device_id=-1\n   device_driver_id=16\n   device_description=Mouse\n"
        L"   device_manufacturer=\n   device_type=0\n";
    EXPECT_EQ(text.substr(0, std::wcslen(expected_start)), expected_start);
    EXPECT_NE(text.find(L"\n   installed_driver_release_date=2010/5/7/0:0\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\n   available_driver_release_date=0/0/0/0:0\n"), std::wstring::npos);
    EXPECT_TRUE(text.ends_with(L"\n   available_driver_inf_description=\n"));
    // 2 leading lines and 22 fields.
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 24);
}

TEST(from_engine_record, copies_fields_and_stops_strings_at_their_array) {
    hx_engine_driver r;
    std::memset(&r, 0, sizeof r);
    r.device_id = 7;
    r.device_driver_id = 9;
    std::wcscpy(r.device_description, L"Display");
    std::wcscpy(r.installed_driver_version, L"1.2.3.4");
    r.installed_driver_version_build = 4;
    r.available_driver_release_date.wYear = 2024;
    // An unterminated GUID array is cut at its 39 units, not read past.
    for (wchar_t& c : r.device_class_guid) c = L'G';
    std::wcscpy(r.available_driver_inf_description, L"Display driver");
    const hx::driver d = hx::from_engine_record(r);
    EXPECT_EQ(d.device_id, 7);
    EXPECT_EQ(d.device_driver_id, 9);
    EXPECT_EQ(d.device_description, L"Display");
    EXPECT_EQ(d.installed_driver_version, L"1.2.3.4");
    EXPECT_EQ(d.installed_driver_version_build, 4);
    EXPECT_EQ(d.available_driver_release_date.wYear, 2024);
    EXPECT_EQ(d.device_class_guid, std::wstring(39, L'G'));
    EXPECT_EQ(d.available_driver_inf_description, L"Display driver");
}

TEST(check_result, names_the_call_and_the_code) {
    test_support::log_capture capture;
    EXPECT_NO_THROW(hx::check_result(0, L"hxStartScan"));
    EXPECT_TRUE(capture.texts().empty());
    struct row {
        std::int32_t code;
        const wchar_t* ending;
    } rows[] = {
        {0xEADEED, L"HX_RESULT_ERROR_UNEXPECTED"},
        {1, L"HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS"},
        {4, L"HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE"},
        {7, L""},
    };
    for (const row& r : rows) {
        const std::wstring message =
            std::wstring(L"Hexcore engine indicates that call to hxStartScan failed with error code ") + r.ending;
        try {
            hx::check_result(r.code, L"hxStartScan");
            ADD_FAILURE() << "no exception for " << r.code;
        } catch (const tessel::exception_w& e) {
            EXPECT_EQ(e.message_w(), message);
        }
        EXPECT_EQ(capture.texts().back(), tessel::unicode::to_utf8(L"<hxStartScan> <" + message + L">"));
        EXPECT_EQ(capture.levels().back(), 3);
    }
}

}  // namespace
