#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "harness.hpp"
#include "outside/hexcore/fetch.hpp"
#include "tessel/unicode.hpp"

namespace {

using harness::event;
using tessel::unicode::from_utf8;
using tessel::unicode::to_utf8;

// Two displays sharing one package and an audio device without a driver.
class update_test : public ::testing::Test {
protected:
    explicit update_test(const wchar_t* name = L"hexcore-update") : w_(name) {
        w_.write_profile({
            {"PCI\\VEN_1234&DEV_0001\\1", "Display One", "PCI\\VEN_1234&DEV_0001", "", "1.0.0.0", "2020-01-01"},
            {"PCI\\VEN_1234&DEV_0001\\2", "Display Two", "PCI\\VEN_1234&DEV_0001", "", "1.0.0.0", "2020-01-01"},
            {"HDAUDIO\\FUNC_01&VEN_1234&DEV_0002\\1", "Audio", "HDAUDIO\\FUNC_01&VEN_1234&DEV_0002", "", "", ""},
        });
        catalog();
    }
    ~update_test() override { harness::on_event(nullptr); }

    void catalog(const std::string& display_cab = "display.cab", const std::string& display_sha = "") {
        w_.write_catalog({
            {11, "2.0.0.0", "2024-03-12", "", "PCI\\VEN_1234&DEV_0001", display_cab, display_sha},
            {12, "3.1.0.0", "2024-05-01", "", "HDAUDIO\\FUNC_01&VEN_1234&DEV_0002", "audio.cab"},
        });
    }

    std::vector<event> scan(const std::string& config) {
        EXPECT_EQ(harness::configure(config), 0);
        harness::clear_events();
        EXPECT_EQ(harness::engine().hxStartScan(), 0);
        EXPECT_TRUE(harness::wait_complete(HX_OPERATION_SCAN));
        return harness::events();
    }

    std::vector<event> update(std::vector<std::int32_t> ids) {
        harness::clear_events();
        EXPECT_EQ(harness::engine().hxStartDriversUpdate(ids.data(), static_cast<std::int32_t>(ids.size()),
                                                         L"Kelvane: Updating Drivers"),
                  0);
        EXPECT_TRUE(harness::wait_complete(HX_OPERATION_UPDATE));
        return harness::events();
    }

    int outdated(const std::vector<event>& all) {
        return static_cast<int>(std::count_if(all.begin(), all.end(), [](const event& e) {
            return e.kind == event::progress && e.state == 2;
        }));
    }

    // "state:description" per progress report, repeated download reports folded.
    static std::vector<std::string> steps(const std::vector<event>& all) {
        std::vector<std::string> out;
        for (const event& e : all) {
            if (e.kind != event::progress) continue;
            std::string step = std::to_string(e.state) + ":" +
                               (e.has_record ? to_utf8(e.record.device_description) : to_utf8(e.text));
            if (out.empty() || out.back() != step || e.state != 4) out.push_back(step);
        }
        return out;
    }

    static const event* error_of(const std::vector<event>& all) {
        for (const event& e : all)
            if (e.kind == event::error) return &e;
        return nullptr;
    }

    bool downloads_empty() {
        const std::wstring folder = w_.path(L"cache\\Downloads");
        std::error_code ignored;
        return !std::filesystem::exists(folder) || std::filesystem::is_empty(folder, ignored);
    }

    harness::world w_;
};

using strings = std::vector<std::string>;

const strings all_steps = {
    "0:Creating Restore Point", "3:Display One", "4:Display One", "5:Display One", "6:Display One",
    "7:Display One",  "7:Display Two",  "8:Display One",  "8:Display Two", "3:Audio", "4:Audio",
    "5:Audio",        "6:Audio",        "7:Audio",        "8:Audio",
};

TEST_F(update_test, an_update_from_local_files_installs_every_driver_and_the_next_scan_finds_none) {
    ASSERT_EQ(outdated(scan(w_.config())), 3);
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    const std::vector<event> all = update({11, 12});
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().kind, event::start);
    EXPECT_EQ(all.front().operation, HX_OPERATION_UPDATE);
    EXPECT_EQ(error_of(all), nullptr) << to_utf8(error_of(all)->text);
    EXPECT_EQ(steps(all), all_steps);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(outdated(scan(w_.config())), 0);
    const std::string after = test_support::read_file(w_.path(L"profile.xml"));
    EXPECT_NE(after.find("version=\"2.0.0.0\" date=\"2024-03-12\""), std::string::npos);
    EXPECT_NE(after.find("version=\"3.1.0.0\""), std::string::npos);
    EXPECT_TRUE(downloads_empty());
    // The journal keeps the profile as it was before the run.
    std::vector<std::string> journal;
    for (const auto& f : std::filesystem::directory_iterator(w_.path(L"cache\\Journal")))
        journal.push_back(test_support::read_file(f.path().wstring()));
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal.front(), before);
}

TEST_F(update_test, a_wrong_hash_fails_the_driver_and_changes_nothing) {
    catalog("display.cab", std::string(64, 'a'));
    ASSERT_EQ(outdated(scan(w_.config())), 3);
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    std::int32_t cancel_result = -1;
    harness::on_event([&](const event& e) {
        // What the adapter does: cancel from inside the error callback.
        if (e.kind == event::error) cancel_result = harness::engine().hxCancelDriversUpdate();
    });
    const std::vector<event> all = update({11, 12});
    EXPECT_EQ(steps(all), (strings{"0:Creating Restore Point", "3:Display One", "4:Display One", "5:Display One",
                                   "9:Display One"}));
    const event* error = error_of(all);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->state, 9);
    EXPECT_NE(error->text.find(L"Display One (package 11)"), std::wstring::npos) << to_utf8(error->text);
    EXPECT_NE(error->text.find(L"SHA-256"), std::wstring::npos) << to_utf8(error->text);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(cancel_result, 0);
    EXPECT_EQ(test_support::read_file(w_.path(L"profile.xml")), before);
    EXPECT_TRUE(downloads_empty());
}

TEST_F(update_test, a_package_whose_inf_declares_another_version_is_not_installed) {
    catalog("mislabelled.cab");
    scan(w_.config());
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    const std::vector<event> all = update({11});
    const event* error = error_of(all);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(error->text.find(L"declares version 1.0.0.0 instead of 2.0.0.0"), std::wstring::npos)
        << to_utf8(error->text);
    EXPECT_EQ(test_support::read_file(w_.path(L"profile.xml")), before);
    EXPECT_TRUE(downloads_empty());
}

TEST_F(update_test, a_cabinet_file_with_a_folder_in_its_name_is_refused) {
    catalog("pathy.cab");
    scan(w_.config());
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    const std::vector<event> all = update({11});
    const event* error = error_of(all);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->state, 9);
    EXPECT_NE(error->text.find(L"holds a file with a path"), std::wstring::npos) << to_utf8(error->text);
    EXPECT_FALSE(test_support::file_exists(w_.path(L"cache\\Packages\\11\\packages\\display.inf")));
    EXPECT_EQ(test_support::read_file(w_.path(L"profile.xml")), before);
}

TEST_F(update_test, without_a_restore_point_nothing_is_changed) {
    // The journal folder would have to live inside a file.
    const std::string config =
        w_.config("", "  <restore-point mode=\"journal\" folder=\"" + w_.narrow(L"profile.xml") + "\\journal\"/>\n");
    scan(config);
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    const std::vector<event> all = update({11, 12});
    EXPECT_EQ(steps(all), (strings{"0:Creating Restore Point"}));
    const event* error = error_of(all);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(error->text.find(L"Unable to create system restore point"), std::wstring::npos);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(test_support::read_file(w_.path(L"profile.xml")), before);
}

TEST_F(update_test, system_restore_points_under_this_system) {
    const std::string config = w_.config("", "  <restore-point mode=\"system\"/>\n");
    scan(config);
    const std::vector<event> all = update({12});
    // Wine has no System Restore to speak of; Windows makes the point. Both
    // ways the run must be whole: an error before any change, or the install.
    if (const event* error = error_of(all)) {
        EXPECT_NE(error->text.find(L"Unable to create system restore point"), std::wstring::npos);
        EXPECT_EQ(steps(all), (strings{"0:Creating Restore Point"}));
        std::cout << "System Restore here: " << to_utf8(error->text) << "\n";
    } else {
        EXPECT_EQ(steps(all).back(), "8:Audio");
        std::cout << "System Restore here: the restore point was made\n";
    }
}

TEST_F(update_test, cancelling_during_a_download_deletes_it_and_installs_nothing) {
    scan(w_.config());
    const std::string before = test_support::read_file(w_.path(L"profile.xml"));
    harness::on_event([](const event& e) {
        if (e.kind == event::progress && e.state == 4) harness::engine().hxCancelDriversUpdate();
    });
    const std::vector<event> all = update({11, 12});
    EXPECT_EQ(steps(all), (strings{"0:Creating Restore Point", "3:Display One", "4:Display One"}));
    EXPECT_EQ(error_of(all), nullptr);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(test_support::read_file(w_.path(L"profile.xml")), before);
    EXPECT_TRUE(downloads_empty());
}

TEST_F(update_test, cancelling_during_an_install_finishes_it_and_stops_before_the_next_driver) {
    scan(w_.config());
    harness::on_event([](const event& e) {
        if (e.kind == event::progress && e.state == 7) harness::engine().hxCancelDriversUpdate();
    });
    const std::vector<event> all = update({11, 12});
    EXPECT_EQ(steps(all), strings(all_steps.begin(), all_steps.begin() + 9));
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(outdated(scan(w_.config())), 1);  // only the audio device is left
}

// python3's http.server serving the world's folder, started as a Unix
// program from inside Wine.
class http_server {
public:
    explicit http_server(const std::wstring& folder) : folder_(folder) {
        using unix_name_fn = char*(CDECL*)(const wchar_t*);
        auto unix_name = reinterpret_cast<unix_name_fn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unix_name) return;
        char* script = unix_name((harness::here() + L"http_server.py").c_str());
        char* served = unix_name(folder.c_str());
        if (!script || !served) return;
        const std::wstring arguments = L"\"" + from_utf8(script) + L"\" \"" + from_utf8(served) + L"\" 120";
        ::HeapFree(::GetProcessHeap(), 0, script);
        ::HeapFree(::GetProcessHeap(), 0, served);
        HANDLE process = test_support::start_process(L"/usr/bin/python3", arguments);
        if (process) ::CloseHandle(process);
        for (int i = 0; i < 500 && port_.empty(); ++i) {
            port_ = test_support::read_file(folder + L"port.txt");
            if (port_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~http_server() {
        if (!port_.empty()) {
            try {
                hexcore::read_all(url(L"quit"));
            } catch (...) {
            }
        }
    }
    bool running() const { return !port_.empty(); }
    std::wstring url(const std::wstring& path) const { return L"http://127.0.0.1:" + from_utf8(port_) + L"/" + path; }

private:
    std::wstring folder_;
    std::string port_;
};

class http_update_test : public update_test {
protected:
    http_update_test() : update_test(L"hexcore-http") {}
};

TEST_F(http_update_test, an_update_over_http_installs_every_driver) {
    http_server server(w_.path(L""));
    if (!server.running()) GTEST_SKIP() << "python3's http.server could not be started from here";
    const std::string config = w_.config(to_utf8(server.url(L"catalog.xml")));
    ASSERT_EQ(outdated(scan(config)), 3);
    const std::vector<event> all = update({11, 12});
    EXPECT_EQ(error_of(all), nullptr) << to_utf8(error_of(all)->text);
    EXPECT_EQ(steps(all), all_steps);
    EXPECT_EQ(outdated(scan(config)), 0);

    // A missing package is a failed download, reported with the server's answer.
    w_.write_profile({{"PCI\\VEN_1234&DEV_0001\\1", "Display One", "PCI\\VEN_1234&DEV_0001", "", "1.0.0.0", "2020-01-01"}});
    w_.write_catalog({{11, "2.0.0.0", "2024-03-12", "packages/gone.cab", "PCI\\VEN_1234&DEV_0001"}});
    scan(config);
    const event* error = error_of(update({11}));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->state, 9);
    EXPECT_NE(error->text.find(L"404"), std::wstring::npos) << to_utf8(error->text);
}

}  // namespace

namespace {

TEST(demo_update, updating_every_outdated_driver_of_the_demo_leaves_nothing_outdated) {
    harness::world w(L"hexcore-demo-update");
    const std::wstring dist = harness::here() + HEXCORE_DIST_FROM_TESTS;
    ASSERT_TRUE(::CopyFileW((dist + L"demo\\profile.xml").c_str(), w.path(L"profile.xml").c_str(), FALSE));
    const std::string config = w.config(to_utf8(dist + L"catalog\\catalog.xml"));
    const auto scan = [&] {
        EXPECT_EQ(harness::configure(config), 0);
        harness::clear_events();
        EXPECT_EQ(harness::engine().hxStartScan(), 0);
        EXPECT_TRUE(harness::wait_complete(HX_OPERATION_SCAN));
        hx_scan_summary s{};
        harness::engine().hxGetLastScanSummary(&s);
        return s.result_count;
    };
    ASSERT_EQ(scan(), 14);
    const hx_engine_driver* results = nullptr;
    ASSERT_EQ(harness::engine().hxGetLastScanResults(&results), 0);
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 14; ++i) ids.push_back(results[i].device_driver_id);  // shared ids repeat
    harness::clear_events();
    ASSERT_EQ(harness::engine().hxStartDriversUpdate(ids.data(), static_cast<std::int32_t>(ids.size()), L"demo"), 0);
    ASSERT_TRUE(harness::wait_complete(HX_OPERATION_UPDATE));
    int installed = 0;
    for (const harness::event& e : harness::events()) {
        EXPECT_NE(e.kind, harness::event::error) << to_utf8(e.text);
        if (e.kind == harness::event::progress && e.state == 8) ++installed;
    }
    EXPECT_EQ(installed, 14);
    EXPECT_EQ(scan(), 0);
}

}  // namespace
