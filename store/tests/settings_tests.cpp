#include <gtest/gtest.h>

#include <mstask.h>

#include "store/settings.hpp"
#include "nexolib_test_support.hpp"
#include "store_test_support.hpp"
#include "support.hpp"
#include "tessel/exception.hpp"
#include "tessel/unicode.hpp"

using namespace store_test;

namespace {

const std::wstring key = L"Software\\Orvena\\Tamsin\\Settings";

class settings_store : public testing::Test {
protected:
    void SetUp() override {
        use_product_names();
        delete_key(key);
        delete_logon_task();
    }
    void TearDown() override {
        delete_key(key);
        delete_logon_task();
    }
    // A key as a previous run leaves it.
    static void store_all() {
        set_dword(key, L"TotalScans", 12);
        set_dword(key, L"TotalUpdates", 34);
        set_qword(key, L"LastScanTime", 0x100000005ull);
        set_dword(key, L"AutoScan", 0);
        set_dword(key, L"DisplayDevices", 1);
        set_qword(key, L"NumberOfFoundUpdates", 7);
        set_string(key, L"Language", L"FR");
    }
    static std::vector<std::string> scoped(const test_support::log_capture& log, const std::string& scope) {
        std::vector<std::string> found;
        for (const std::string& t : log.texts())
            if (t.rfind(scope + " ", 0) == 0) found.push_back(t);
        return found;
    }
    nexolib_test::suite_file suite_{suite_xml("DE")};
};

bool task_exists() {
    ::CoInitialize(nullptr);
    ITaskScheduler* s = nullptr;
    ITask* t = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                     reinterpret_cast<void**>(&s)))) {
        s->Activate(L"Tamsin Auto Start", IID_ITask, reinterpret_cast<IUnknown**>(&t));
        s->Release();
    }
    if (t) t->Release();
    ::CoUninitialize();
    return t != nullptr;
}

TEST_F(settings_store, the_first_run_stores_the_defaults_and_switches_run_at_logon_on) {
    const settings s;
    EXPECT_EQ(s.default_language(), L"DE") << "the suite's language";
    EXPECT_EQ(s.language(), L"DE");
    EXPECT_TRUE(s.m_auto_scan);
    EXPECT_EQ(s.m_number_of_found_updates, -1);

    DWORD size = 0;
    EXPECT_EQ(value_type(key, L"TotalScans"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(get_dword(key, L"TotalScans"), 0u);
    EXPECT_EQ(get_dword(key, L"TotalUpdates"), 0u);
    EXPECT_EQ(value_type(key, L"LastScanTime", &size), static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(get_qword(key, L"LastScanTime"), 0u);
    EXPECT_EQ(get_dword(key, L"AutoScan"), 1u);
    EXPECT_EQ(get_dword(key, L"DisplayDevices"), 1u);
    EXPECT_EQ(value_type(key, L"NumberOfFoundUpdates", &size), static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(get_qword(key, L"NumberOfFoundUpdates"), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(value_type(key, L"Language", &size), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    EXPECT_TRUE(task_exists());

    // Only the first settings ever made switch the task on.
    settings::set_run_at_logon(false);
    const settings again;
    EXPECT_FALSE(task_exists());
}

TEST_F(settings_store, stored_values_are_read_with_their_encodings) {
    store_all();
    set_dword(key, L"AutoScan", 2);
    set_qword(key, L"NumberOfFoundUpdates", 0x12345678FFFFFFFEull);
    test_support::log_capture log;
    settings s;
    EXPECT_TRUE(log.texts().empty());
    EXPECT_EQ(s.m_total_scans, 12);
    EXPECT_EQ(s.total_scans_text(), L"12");
    EXPECT_EQ(s.total_updates_text(), L"34");
    EXPECT_EQ(s.m_last_scan, 0x100000005ll);
    EXPECT_FALSE(s.m_auto_scan) << "only 1 is true";
    EXPECT_TRUE(s.m_display_devices);
    EXPECT_EQ(s.m_number_of_found_updates, -2) << "the low 32 bits, signed";
    EXPECT_EQ(s.language(), L"FR");
    EXPECT_FALSE(task_exists()) << "not a first run";

    s.save();
    EXPECT_EQ(get_dword(key, L"AutoScan"), 0u);
    EXPECT_EQ(get_qword(key, L"NumberOfFoundUpdates"), 0xFFFFFFFFFFFFFFFEull);
    EXPECT_EQ(get_qword(key, L"LastScanTime"), 0x100000005ull);
}

TEST_F(settings_store, a_missing_value_stops_the_loading_there) {
    store_all();
    delete_value(key, L"NumberOfFoundUpdates");
    test_support::log_capture log;
    const settings s;
    EXPECT_EQ(s.m_total_scans, 12);
    EXPECT_EQ(s.m_last_scan, 0x100000005ll);
    EXPECT_FALSE(s.m_auto_scan);
    EXPECT_EQ(s.m_number_of_found_updates, -1);
    EXPECT_EQ(s.language(), L"DE") << "the default stays";
    const auto errors = scoped(log, "settings::load");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("NumberOfFoundUpdates"), std::string::npos) << errors[0];
}

TEST_F(settings_store, a_missing_or_mistyped_language_falls_back_to_english) {
    for (const bool as_number : {false, true}) {
        store_all();
        delete_value(key, L"Language");
        if (as_number) set_dword(key, L"Language", 5);
        test_support::log_capture log;
        const settings s;
        EXPECT_EQ(s.language(), L"EN") << as_number;
        EXPECT_EQ(s.m_total_scans, 12);
        const auto errors = scoped(log, "settings::load");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("Error reading user language: "), std::string::npos) << errors[0];
    }
}

TEST_F(settings_store, saves_go_back_to_the_registry) {
    store_all();
    settings s;
    s.m_total_scans += 1;
    s.m_last_scan = 0x7FFFFFFFFFLL;
    s.m_display_devices = false;
    s.set_language(L"IT");
    const settings read;
    EXPECT_EQ(read.m_total_scans, 13);
    EXPECT_EQ(read.m_last_scan, 0x7FFFFFFFFFLL);
    EXPECT_FALSE(read.m_display_devices);
    EXPECT_EQ(read.language(), L"IT");
}

TEST_F(settings_store, the_last_scan_text_is_a_date_or_the_never_scanned_phrase) {
    store_all();
    settings s;
    std::wstring asked;
    auto translate = [&](const std::wstring& k) {
        asked = k;
        return std::wstring(L"never");
    };
    s.m_last_scan = 0;
    EXPECT_EQ(s.last_scan_text(translate), L"never");
    EXPECT_EQ(asked, L"COMPUTER_WAS_NEVER_SCANNED");
    s.m_last_scan = 1331035200;  // 2012-03-06 12:00 UTC
    const std::wstring text = s.last_scan_text(translate);
    EXPECT_NE(text.find(L"2012"), std::wstring::npos) << tessel::unicode::to_utf8(text);
    EXPECT_NE(text, L"Invalid DateTime");
    s.m_last_scan = -5;
    EXPECT_EQ(s.last_scan_text(translate), L"Invalid DateTime");
}

TEST_F(settings_store, dump_writes_one_line_per_value) {
    store_all();
    const settings s;
    test_support::log_capture log;
    s.dump();
    EXPECT_EQ(log.texts(), (std::vector<std::string>{
                               "Kelvane settings start", "m_total_scans=12", "m_total_updates=34", "m_last_scan=5",
                               "m_auto_scan=0", "Disabling Run At Logon", "run_at_logon=0", "m_language=FR",
                               "m_display_devices=1", "m_number_of_found_updates=7", "Kelvane settings end"}));
}

TEST_F(settings_store, without_suite_data_construction_fails) {
    const nexolib_test::suite_file none{""};
    try {
        const settings s;
        FAIL() << "constructed";
    } catch (const tessel::exception_w& e) {
        const std::string text = tessel::unicode::to_utf8(e.message_w());
        EXPECT_EQ(text.rfind("Failed to load suite data: ", 0), 0u) << text;
        EXPECT_NE(text.find("suite.xml"), std::string::npos) << text;
    }
    EXPECT_FALSE(key_exists(key)) << "nothing is stored";
}

}  // namespace
