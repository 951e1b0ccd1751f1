// The adapter against the real engine beside this test program, on the
// demo's device profile and catalog.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "engine/engine.hpp"
#include "engine/key_set.hpp"
#include "engine/scan_results.hpp"
#include "support.hpp"
#include "tessel/config.hpp"
#include "tessel/unicode.hpp"

namespace {

std::wstring here() {
    const std::wstring self = test_support::self_path();
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

std::string xml_path(const std::wstring& path) { return tessel::unicode::to_utf8(path); }

// Waits for the end of an operation; records what reached it.
struct waiting_handler : hx::callback_handler {
    std::mutex lock;
    std::condition_variable ended;
    std::vector<std::wstring> events;
    int found = 0;

    void add(const std::wstring& e, bool last) {
        {
            std::lock_guard<std::mutex> guard(lock);
            events.push_back(e);
        }
        if (last) ended.notify_all();
    }
    void scan_progress(const double&, const std::wstring&, const std::int32_t&, const std::int32_t& f) override {
        std::lock_guard<std::mutex> guard(lock);
        found = f;
    }
    void scan_completed() override { add(L"scan_completed", true); }
    void scan_error(const hx::engine_state&, const std::wstring& t) override { add(L"scan_error " + t, true); }
    void update_progress(const double& f, const std::wstring&, const hx::engine_state& s, const std::int32_t&,
                         const hx::driver& d) override {
        if (static_cast<int>(s) >= 8) add(std::to_wstring(static_cast<int>(s)) + L" " + d.device_description, false);
        if (f < 0 || f > 1) add(L"bad fraction", false);
    }
    void update_error(const hx::engine_state& c, const std::wstring& t) override {
        add(L"update_error " + std::to_wstring(static_cast<int>(c)) + L" " + t, false);
        ended.notify_all();
    }
    void update_completed() override { add(L"update_completed", true); }
    void update_cancelled() override { add(L"update_cancelled", true); }

    bool wait_for(const std::wstring& prefix) {
        std::unique_lock<std::mutex> guard(lock);
        return ended.wait_for(guard, std::chrono::seconds(30), [&] {
            for (const std::wstring& e : events)
                if (e.starts_with(prefix)) return true;
            return false;
        });
    }
};

class real_engine_test : public ::testing::Test {
protected:
    real_engine_test() : folder_(L"engine-real") {
        tessel::config::set_names(L"Orvena", L"Tamsin");
        tessel::config::init_from(folder_ / L"Kelvane.exe", folder_.path(), folder_.path());
        const std::wstring dist = here() + ENGINE_DIST_FROM_TESTS;
        catalog_ = dist + L"catalog\\catalog.xml";
        ::CopyFileW((dist + L"demo\\profile.xml").c_str(), (folder_ / L"profile.xml").c_str(), FALSE);
        hx::black_list_keys.replace({});
        hx::ignore_list_keys.replace({});
    }
    ~real_engine_test() override {
        hx::black_list_keys.replace({});
        hx::ignore_list_keys.replace({});
    }
    void configure(const std::wstring& catalog) {
        test_support::write_file(here() + L"hexcore.xml",
                                 "<hexcore><inventory source=\"file\" profile=\"" + xml_path(folder_ / L"profile.xml") +
                                     "\"/><catalog location=\"" + xml_path(catalog) + "\"/><cache folder=\"" +
                                     xml_path(folder_ / L"cache") + "\"/><restore-point mode=\"journal\"/></hexcore>");
    }

    test_support::temp_folder folder_;
    std::wstring catalog_;
    waiting_handler handler_;
};

TEST_F(real_engine_test, a_scan_of_the_demo_reaches_the_filtered_results) {
    configure(catalog_);
    hx::engine adapter(handler_);
    // The engine writes its own log at the base the adapter chose.
    EXPECT_TRUE(test_support::file_exists(folder_ / L"Orvena\\Tamsin\\Logs\\HX.0000.log"));
    hx::black_list_keys.replace({L"ffffffff.ffffffff.nothing"});
    hx::start_scan();
    ASSERT_TRUE(handler_.wait_for(L"scan_"));
    EXPECT_EQ(handler_.events.back(), L"scan_completed");
    EXPECT_EQ(handler_.found, 14);

    // 14 outdated devices: one without a description, four sharing the
    // chipset package, two sharing the USB package.
    const std::vector<hx::driver> all = hx::get_scan_results(true);
    EXPECT_EQ(all.size(), 13u);
    const std::vector<hx::driver> folded = hx::get_scan_results(false);
    EXPECT_EQ(folded.size(), 10u);
    for (const hx::driver& d : folded) EXPECT_FALSE(d.device_description.empty());

    // Ignoring one driver drops it, and only it.
    hx::ignore_list_keys.replace({hx::driver_key(folded.front())});
    const std::vector<hx::driver> fewer = hx::get_scan_results(false);
    ASSERT_EQ(fewer.size(), folded.size() - 1);
    EXPECT_EQ(hx::driver_key(fewer.front()), hx::driver_key(folded[1]));
}

TEST_F(real_engine_test, an_update_error_is_cancelled_from_the_engines_own_thread) {
    // The catalog names the real demo package with a wrong hash.
    const std::wstring cab = here() + ENGINE_DIST_FROM_TESTS + L"catalog\\packages\\1001.cab";
    const std::string bad = "<catalog><package id=\"1001\" provider=\"NVIDIA\" version=\"32.0.15.6094\" "
                            "date=\"2026-09-24\" description=\"d\" location=\"" + xml_path(cab) +
                            "\" size=\"1\" sha256=\"" + std::string(64, 'b') +
                            "\"><hardware-id>PCI\\VEN_10DE&amp;DEV_2504</hardware-id></package></catalog>";
    test_support::write_file(folder_ / L"bad.xml", bad);
    configure(folder_ / L"bad.xml");
    hx::engine adapter(handler_);
    hx::start_scan();
    ASSERT_TRUE(handler_.wait_for(L"scan_"));
    const std::vector<hx::driver> found = hx::get_scan_results(false);
    ASSERT_EQ(found.size(), 1u);
    const std::string before = test_support::read_file(folder_ / L"profile.xml");
    hx::update_drivers(found);
    ASSERT_TRUE(handler_.wait_for(L"update_error"));
    ::Sleep(200);  // the engine's complete callback must pass nothing on
    std::lock_guard<std::mutex> guard(handler_.lock);
    ASSERT_EQ(handler_.events.size(), 3u);
    EXPECT_EQ(handler_.events[1], L"9 NVIDIA GeForce RTX 3060");
    EXPECT_TRUE(handler_.events[2].starts_with(L"update_error 9 Unable to update NVIDIA GeForce RTX 3060 (package 1001)"))
        << tessel::unicode::to_utf8(handler_.events[2]);
    EXPECT_EQ(test_support::read_file(folder_ / L"profile.xml"), before);
}

}  // namespace
