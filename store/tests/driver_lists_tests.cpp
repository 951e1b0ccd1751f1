#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

#include "store/drivers_history.hpp"
#include "store/drivers_ignore_list.hpp"
#include "store/drivers_tbu_list.hpp"
#include "store_test_support.hpp"
#include "support.hpp"
#include "tessel/unicode.hpp"

using namespace store_test;

namespace {

const std::wstring history_key = L"Software\\Orvena\\Tamsin\\History\\";
const std::wstring ignore_key = L"Software\\Orvena\\Tamsin\\Ignore\\";
const std::wstring tbu_key = L"Software\\Orvena\\Tamsin\\TBU\\";

class driver_lists : public testing::Test {
protected:
    void SetUp() override {
        use_product_names();
        clean();
    }
    void TearDown() override { clean(); }
    static void clean() {
        delete_key(history_key);
        delete_key(ignore_key);
        delete_key(tbu_key);
    }
    // Writes an item the way another program would.
    static void store_item(const std::wstring& path, const hx::driver& d) {
        set_dword(path, L"device_id", static_cast<DWORD>(d.device_id));
        set_dword(path, L"device_driver_id", static_cast<DWORD>(d.device_driver_id));
        set_string(path, L"device_description", d.device_description);
        set_string(path, L"device_manufacturer", d.device_manufacturer);
        set_dword(path, L"device_type", static_cast<DWORD>(d.device_type));
        for (const wchar_t* name : {L"device_class", L"device_class_guid", L"installed_driver_provider",
                                    L"installed_driver_version", L"available_driver_provider", L"available_driver_version",
                                    L"available_driver_inf_description"})
            set_string(path, name, L"");
        for (const wchar_t* name : {L"installed_driver_version_major", L"installed_driver_version_minor",
                                    L"installed_driver_version_release", L"installed_driver_version_build",
                                    L"available_driver_version_major", L"available_driver_version_minor",
                                    L"available_driver_version_release", L"available_driver_version_build"})
            set_dword(path, name, 0);
    }
    static std::vector<std::string> exception_lines(const test_support::log_capture& log, const std::string& scope) {
        std::vector<std::string> found;
        for (const std::string& t : log.texts())
            if (t.rfind(scope + " exception: ", 0) == 0) found.push_back(t);
        return found;
    }
};

TEST_F(driver_lists, missing_keys_are_empty_lists_without_log_lines) {
    test_support::log_capture log;
    EXPECT_TRUE(drivers_history().entries().empty());
    EXPECT_TRUE(drivers_ignore_list().entries().empty());
    drivers_tbu_list tbu;
    tbu.load();
    EXPECT_TRUE(tbu.entries().empty());
    EXPECT_TRUE(log.texts().empty());
}

TEST_F(driver_lists, history_stores_every_field_in_typed_values_and_reads_them_back) {
    const hx::driver d = sample_driver(255, 4096, L"Mouse");
    const auto before = ::_time64(nullptr);
    {
        drivers_history history;
        history.add(d);
        ASSERT_EQ(history.entries().size(), 1u);
    }
    const auto after = ::_time64(nullptr);
    const std::wstring item = history_key + L"4096";
    DWORD size = 0;
    EXPECT_EQ(value_type(item, L"device_id"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value_type(item, L"device_description", &size), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2u * (5 + 1)) << "UTF-16 text with one terminating zero";
    EXPECT_EQ(value_type(item, L"update_time", &size), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value_type(item, L"installed_driver_release_date"), 0u);

    const std::vector<history_entry> read = drivers_history().entries();
    ASSERT_EQ(read.size(), 1u);
    expect_same_stored_fields(read[0], d);
    EXPECT_GE(read[0].update_time, before);
    EXPECT_LE(read[0].update_time, after);
}

TEST_F(driver_lists, history_items_load_in_ordinal_order_of_their_names) {
    {
        drivers_history history;
        history.add(sample_driver(1, 9, L"nine"));
        history.add(sample_driver(1, 10, L"ten"));
        history.add(sample_driver(1, -1, L"minus one"));
    }
    const std::vector<history_entry> read = drivers_history().entries();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].device_description, L"minus one");  // "-1"
    EXPECT_EQ(read[1].device_description, L"ten");        // "10" before "9"
    EXPECT_EQ(read[2].device_description, L"nine");
    EXPECT_TRUE(key_exists(history_key + L"-1"));
}

TEST_F(driver_lists, a_partly_written_item_is_listed_with_what_could_be_read) {
    {
        drivers_history history;
        history.add(sample_driver(3, 30, L"complete"));
        history.add(sample_driver(4, 40, L"partial"));
    }
    delete_value(history_key + L"40", L"device_type");
    test_support::log_capture log;
    const std::vector<history_entry> read = drivers_history().entries();
    ASSERT_EQ(read.size(), 2u);
    const history_entry& partial = read[1];
    EXPECT_EQ(partial.device_id, 4);
    EXPECT_EQ(partial.device_driver_id, 40);
    EXPECT_EQ(partial.device_description, L"partial");
    EXPECT_EQ(partial.device_manufacturer, L"Orvena Devices");
    EXPECT_EQ(partial.device_type, 0);
    EXPECT_EQ(partial.device_class, L"");
    EXPECT_EQ(partial.available_driver_version_build, 0);
    EXPECT_EQ(partial.update_time, 0);
    const auto errors = exception_lines(log, "drivers_history::load");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("device_type"), std::string::npos) << errors[0];
    EXPECT_EQ(read[0].device_type, -7) << "the complete item is untouched";
}

TEST_F(driver_lists, adding_a_driver_twice_gives_two_entries_and_one_item) {
    drivers_history history;
    const hx::driver d = sample_driver(5, 50, L"Disk");
    history.add(d);
    set_dword(history_key + L"50", L"update_time", 1);  // an older time
    history.add(d);
    EXPECT_EQ(history.entries().size(), 2u);
    EXPECT_EQ(subkey_count(history_key), 1);
    EXPECT_EQ(get_dword(history_key + L"50", L"update_time"),
              static_cast<DWORD>(history.entries()[1].update_time));
}

TEST_F(driver_lists, update_time_is_read_as_an_unsigned_32_bit_number) {
    {
        drivers_history history;
        history.add(sample_driver(6, 60, L"Clock"));
    }
    set_dword(history_key + L"60", L"update_time", 0xF0000000u);
    const std::vector<history_entry> read = drivers_history().entries();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].update_time, 4026531840LL);
}

TEST_F(driver_lists, dumps_list_each_record_in_its_text_form) {
    drivers_history history;
    history.add(sample_driver(255, 4096, L"Mouse"));
    drivers_ignore_list ignore;
    ignore.add(sample_driver(1, 2, L"Pad"));
    ignore.add(sample_driver(3, 4, L"Pen"));
    std::wostringstream h, i;
    history.dump(h);
    ignore.dump(i);

    std::wostringstream record;
    hx::write_driver(history.entries()[0], record);
    EXPECT_EQ(h.str(), L"DRV HISTORY START \n DRV0 " + record.str() + L"DRV HISTORY END\n");
    EXPECT_EQ(i.str().rfind(L"DRV IGNORE LIST SIZE=2 \n DRV0 \n   id=00000001.00000002.Pad \n", 0), 0u) << i.str();
    EXPECT_NE(i.str().find(L" DRV1 \n   id=00000003.00000004.Pen \n"), std::wstring::npos);
    EXPECT_EQ(i.str().substr(i.str().size() - 21), L"DRV IGNORE LIST END \n");
}

TEST_F(driver_lists, ignore_list_items_are_named_by_driver_key_and_removed_by_it) {
    drivers_ignore_list ignore;
    const hx::driver a = sample_driver(255, 4096, L"Mouse");
    const hx::driver b = sample_driver(1, 2, L"Pad");
    ignore.add(a);
    ignore.add(b);
    ignore.add(a);
    EXPECT_TRUE(key_exists(ignore_key + L"000000ff.00001000.Mouse"));
    EXPECT_EQ((ignore.keys()), (std::vector<std::wstring>{L"000000ff.00001000.Mouse", L"00000001.00000002.Pad",
                                                          L"000000ff.00001000.Mouse"}));

    // Only the first equal record leaves memory; the item goes from the store.
    ignore.remove(L"000000ff.00001000.Mouse");
    EXPECT_EQ((ignore.keys()), (std::vector<std::wstring>{L"00000001.00000002.Pad", L"000000ff.00001000.Mouse"}));
    EXPECT_FALSE(key_exists(ignore_key + L"000000ff.00001000.Mouse"));

    const std::vector<hx::driver> read = drivers_ignore_list().entries();
    ASSERT_EQ(read.size(), 1u);
    expect_same_stored_fields(read[0], b);

    // Keys compare case-sensitively in memory; registry names do not, so
    // the store's item goes all the same.
    ignore.remove(L"00000001.00000002.PAD");
    EXPECT_EQ(ignore.keys().size(), 2u);
    EXPECT_FALSE(key_exists(ignore_key + L"00000001.00000002.Pad"));
}

TEST_F(driver_lists, removing_an_unknown_key_deletes_only_the_item_of_that_name) {
    drivers_ignore_list ignore;
    ignore.add(sample_driver(1, 2, L"Pad"));
    store_item(ignore_key + L"stray", sample_driver(9, 9, L"Stray"));
    ignore.remove(L"stray");
    EXPECT_EQ(ignore.entries().size(), 1u);
    EXPECT_FALSE(key_exists(ignore_key + L"stray"));
    // An empty key names the list itself, which must survive.
    ignore.remove(L"");
    EXPECT_TRUE(key_exists(ignore_key + L"00000001.00000002.Pad"));
}

TEST_F(driver_lists, a_backslash_in_the_description_does_not_split_the_item) {
    const hx::driver d = sample_driver(7, 8, L"PCI\\VEN_8086 Bridge");
    {
        drivers_ignore_list ignore;
        ignore.add(d);
    }
    EXPECT_EQ(subkey_count(ignore_key), 1);
    drivers_ignore_list ignore;
    ASSERT_EQ(ignore.entries().size(), 1u);
    expect_same_stored_fields(ignore.entries()[0], d);
    ignore.remove(hx::driver_key(d));
    EXPECT_EQ(subkey_count(ignore_key), 0);
}

TEST_F(driver_lists, a_driver_key_too_long_for_a_key_name_is_still_stored) {
    const hx::driver a = sample_driver(7, 8, std::wstring(300, L'a'));
    const hx::driver b = sample_driver(7, 8, std::wstring(299, L'a') + L"b");
    {
        test_support::log_capture log;
        drivers_ignore_list ignore;
        ignore.add(a);
        ignore.add(b);
        EXPECT_TRUE(log.texts().empty()) << log.texts()[0];
    }
    EXPECT_EQ(subkey_count(ignore_key), 2) << "keys that differ late stay apart";
    drivers_ignore_list ignore;
    ASSERT_EQ(ignore.entries().size(), 2u);
    EXPECT_EQ(ignore.entries()[0].device_description.size(), 300u);
    ignore.remove(hx::driver_key(a));
    ignore.remove(hx::driver_key(b));
    EXPECT_EQ(subkey_count(ignore_key), 0);
}

TEST_F(driver_lists, to_be_updated_list_loads_on_request_and_empties_the_store) {
    store_item(tbu_key + L"b", sample_driver(2, 20, L"second"));
    store_item(tbu_key + L"a", sample_driver(1, 10, L"first"));
    set_string(tbu_key + L"c", L"device_id", L"not a number");
    store_item(tbu_key + L"d\\nested", sample_driver(4, 40, L"nested"));

    drivers_tbu_list tbu;
    EXPECT_TRUE(tbu.entries().empty()) << "construction does not load";
    EXPECT_EQ(subkey_count(tbu_key), 4);

    test_support::log_capture log;
    tbu.load();
    const std::vector<hx::driver> read = tbu.entries();
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].device_description, L"first");
    EXPECT_EQ(read[1].device_description, L"second");
    EXPECT_EQ(read[2].device_id, 0) << "an unreadable item is listed empty";
    EXPECT_EQ(read[3].device_id, 0) << "an item without values of its own";
    EXPECT_EQ(exception_lines(log, "drivers_tbu_list::load").size(), 2u);
    EXPECT_EQ(subkey_count(tbu_key), 0) << "also the items that failed to read";

    std::wostringstream dump;
    tbu.dump(dump);
    EXPECT_EQ(dump.str().rfind(L"DRV TBU START \n DRV0 \n", 0), 0u);
    EXPECT_EQ(dump.str().substr(dump.str().size() - 12), L"DRV TBU END\n");
}

}  // namespace
