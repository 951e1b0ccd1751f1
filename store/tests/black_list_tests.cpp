#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "store/drivers_black_list.hpp"
#include "store_test_support.hpp"
#include "tessel/config.hpp"
#include "support.hpp"
#include "tessel/format.hpp"
#include "tessel/unicode.hpp"

using namespace store_test;
using tessel::unicode::to_utf8;

namespace {

class black_list : public testing::Test {
protected:
    void SetUp() override { use_product_names(); }
    std::vector<std::wstring> keys_of(const std::string& xml) {
        test_support::write_file(folder_ / L"Ignore.xml", xml);
        return drivers_black_list(folder_ / L"Ignore.xml").keys();
    }
    test_support::temp_folder folder_{L"black_list"};
};

bool listed(const std::vector<std::wstring>& keys, const hx::driver& d) {
    return std::find(keys.begin(), keys.end(), hx::driver_key(d)) != keys.end();
}

TEST_F(black_list, the_default_file_lies_in_the_common_product_folder_and_may_be_missing) {
    const std::wstring path = drivers_black_list::default_path();
    EXPECT_EQ(path, tessel::config::common_appdata_folder() + L"Orvena\\Tamsin\\Blacklist\\Ignore.xml");
    // Keep a file an installation may have put there.
    const std::wstring aside = path + L".kelvane-test";
    const bool had_file = ::MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;

    test_support::log_capture log;
    const drivers_black_list list;
    EXPECT_TRUE(list.keys().empty());
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"DRV BLACK LIST: " + to_utf8(path),
                                                      "Failed to load " + to_utf8(path) + " xml: 1"}));
    if (had_file) ::MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

TEST_F(black_list, entries_are_the_trimmed_first_child_of_each_item_under_the_root) {
    const std::vector<std::wstring> keys = keys_of(
        "<?xml version=\"1.0\"?>\n"
        "<ignore>\n"
        "  <item>000000ff.00001000.Mouse</item>\n"
        "  <item>\n\t  00000001.00000002.Pad  \r\n</item>\n"
        "  <item>000000FF.00001000.Upper</item>\n"
        "  <item></item>\n"
        "  <item>   </item>\n"
        "  <item attr=\"x\"><![CDATA[ 00000003.00000004.Cdata ]]></item>\n"
        "  <item><b>inner</b>after</item>\n"
        "  <group><item>00000005.00000006.Nested</item></group>\n"
        "  <other>00000007.00000008.Other</other>\n"
        "</ignore>\n");
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"000000ff.00001000.Mouse", L"00000001.00000002.Pad",
                                               L"000000FF.00001000.Upper", L"", L"", L"00000003.00000004.Cdata", L""}));

    EXPECT_TRUE(listed(keys, sample_driver(255, 4096, L"Mouse")));
    EXPECT_TRUE(listed(keys, sample_driver(1, 2, L"Pad")));
    EXPECT_FALSE(listed(keys, sample_driver(255, 4096, L"Upper"))) << "upper-case digits match nothing";
    EXPECT_FALSE(listed(keys, sample_driver(5, 6, L"Nested")));
    EXPECT_FALSE(listed(keys, sample_driver(7, 8, L"Other")));
}

TEST_F(black_list, another_root_or_a_malformed_file_gives_no_entries) {
    EXPECT_TRUE(keys_of("<blacklist><item>000000ff.00001000.Mouse</item></blacklist>").empty());
    test_support::log_capture log;
    EXPECT_TRUE(keys_of("<ignore><item>000000ff.00001000.Mouse</ignore>").empty());
    const std::string path = to_utf8(folder_ / L"Ignore.xml");
    EXPECT_TRUE(log.contains(tessel::format("Failed to load %s xml: %d", path.c_str(), 14))) << "end element mismatch";
}

TEST_F(black_list, the_encoding_is_taken_from_the_file) {
    // UTF-16 with a byte order mark, holding a non-ASCII description.
    const std::wstring text = L"\xFEFF<ignore><item>00000001.00000002.Caf\x00E9</item></ignore>";
    test_support::write_file(folder_ / L"Ignore.xml",
                             std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    EXPECT_EQ(drivers_black_list(folder_ / L"Ignore.xml").keys(), (std::vector<std::wstring>{L"00000001.00000002.Caf\x00E9"}));
}

TEST_F(black_list, dump_lists_the_entries_in_braces) {
    test_support::write_file(folder_ / L"Ignore.xml", "<ignore><item>a.b.c</item><item/></ignore>");
    std::wostringstream out;
    drivers_black_list(folder_ / L"Ignore.xml").dump(out);
    EXPECT_EQ(out.str(), L"DRV BLACK LIST SIZE=2 \nDRV0: {a.b.c}\nDRV1: {}\nDRV BLACK LIST END \n");
}

}  // namespace
