#include <gtest/gtest.h>

#include "engine/engine.hpp"
#include "engine/engine_api.hpp"
#include "engine/key_set.hpp"
#include "engine/session.hpp"
#include "scripted_engine.hpp"
#include "support.hpp"
#include "tessel/config.hpp"
#include "tessel/exception.hpp"
#include "tessel/unicode.hpp"

namespace {

using events = std::vector<std::wstring>;

class session_test : public ::testing::Test {
protected:
    session_test() : folder_(L"engine-session") {
        tessel::config::set_names(L"Orvena", L"Tamsin");
        tessel::config::init_from(folder_ / L"Kelvane.exe", folder_.path(), folder_.path());
        adapter_ = std::make_unique<hx::engine>(handler_);
        hx::black_list_keys.replace({});
        hx::ignore_list_keys.replace({});
        hx::session().reset();  // every test starts idle
    }
    ~session_test() override { adapter_.reset(); }

    // Plays the engine's part through the callbacks the adapter registered.
    void started(int op, const wchar_t* text) { engine_->start(op, text); }
    void progress(double p, const wchar_t* text, int state, const hx_engine_driver* r = nullptr) {
        engine_->progress(p, text, state, r);
    }
    void complete(int op) { engine_->complete(op); }
    void error(int op, const wchar_t* text, int code) { engine_->error(op, text, code); }

    test_support::temp_folder folder_;
    scripted::engine engine_;
    scripted::recorder handler_;
    std::unique_ptr<hx::engine> adapter_;
};

TEST_F(session_test, construction_initialises_the_engine_then_registers_the_callbacks_in_order) {
    EXPECT_EQ(engine_->calls, (std::vector<std::string>{"hxEngineInit", "start", "progress", "complete", "error"}));
    EXPECT_EQ(engine_->log_base, folder_.path() + L"Orvena\\Tamsin\\Logs\\HX.0000");
    ASSERT_EQ(hx::session().handlers.size(), 1u);
    adapter_.reset();
    EXPECT_TRUE(hx::session().handlers.empty());
}

TEST_F(session_test, a_completed_scan_reaches_the_handler_with_its_found_count) {
    hx::start_scan();
    const hx_engine_driver mouse = scripted::record(1, 10, L"Mouse");
    const hx_engine_driver disk = scripted::record(2, 11, L"Disk");
    const hx_engine_driver pad = scripted::record(3, 12, L"Pad");
    hx::black_list_keys.replace({hx::driver_key(hx::from_engine_record(disk))});
    hx::ignore_list_keys.replace({hx::driver_key(hx::from_engine_record(pad))});
    started(0, nullptr);
    progress(0.25, L"Examining", 1);
    progress(0.5, L"Mouse", 2, &mouse);
    progress(0.6, L"Disk", 2, &disk);
    progress(0.7, L"Pad", 2, &pad);
    progress(0.8, L"Mouse again", 2, &mouse);
    complete(0);
    EXPECT_EQ(handler_.events, (events{L"scan_started()", L"scan_progress(0.25,Examining,0)",
                                       L"scan_progress(0.50,Mouse,1)", L"scan_progress(0.60,Disk,1)",
                                       L"scan_progress(0.70,Pad,1)", L"scan_progress(0.80,Mouse again,2)",
                                       L"scan_completed"}));
    // The next scan counts from 0 again.
    handler_.events.clear();
    hx::start_scan();
    started(0, L"again");
    progress(0.5, L"Mouse", 2, &mouse);
    EXPECT_EQ(handler_.events.back(), L"scan_progress(0.50,Mouse,1)");
}

TEST_F(session_test, a_cancelled_scan_ends_with_scan_cancelled_and_clears_the_request) {
    hx::start_scan();
    started(0, L"Scanning");
    hx::cancel_scan();
    EXPECT_TRUE(hx::session().scan_cancel_requested);
    complete(0);
    EXPECT_EQ(handler_.events, (events{L"scan_started(Scanning)", L"scan_cancelled"}));
    EXPECT_FALSE(hx::session().scan_cancel_requested);
    EXPECT_EQ(engine_->calls.back(), "hxCancelScan");
}

TEST_F(session_test, a_scan_error_is_passed_on_and_silences_what_follows) {
    test_support::log_capture log;
    hx::start_scan();
    started(0, L"Scanning");
    error(0, L"catalog unreadable", 77);
    progress(0.5, L"late", 1);
    complete(0);
    EXPECT_EQ(handler_.events, (events{L"scan_started(Scanning)", L"scan_error(77,catalog unreadable)"}));
    EXPECT_TRUE(log.contains("hx::on_error(catalog unreadable)"));
    EXPECT_TRUE(log.contains("hx::on_progress: no scan nor update running"));
}

TEST_F(session_test, an_update_error_cancels_the_engine_and_nothing_follows_it) {
    test_support::log_capture log;
    hx::start_scan();
    hx::impl::update({4});
    started(1, L"Updating");
    progress(0.0, L"Downloading", 3);
    error(1, L"Driver 4: the download failed", 9);
    progress(0.0, L"late", 8);
    complete(1);
    EXPECT_EQ(handler_.events, (events{L"update_started(Updating)", L"update_progress(0.2,Downloading,3)",
                                       L"update_error(9,Driver 4: the download failed)"}));
    EXPECT_EQ(engine_->calls.back(), "hxCancelDriversUpdate");
    // The adapter's own cancel does not count as the user's.
    EXPECT_FALSE(hx::session().update_cancel_requested);
    EXPECT_TRUE(log.contains("hx::on_progress: no scan nor update running"));
}

TEST_F(session_test, an_update_reports_stage_fractions_and_ends_completed_or_cancelled) {
    hx::start_scan();
    hx::impl::update({4});
    started(1, L"Updating");
    const hx_engine_driver card = scripted::record(5, 4, L"Card");
    progress(0.0, L"Creating Restore Point", 8);
    progress(0.9, L"x", 7, &card);
    progress(0.9, L"x", 8, &card);
    progress(0.9, L"x", 42);
    complete(1);
    EXPECT_EQ(handler_.events, (events{L"update_started(Updating)", L"update_progress(0.1,Creating Restore Point,8)",
                                       L"update_progress(0.6,x,7)", L"update_progress(1.0,x,8)",
                                       L"update_progress(1.0,x,42)", L"update_completed"}));
    EXPECT_EQ(handler_.drivers[1].device_description, L"Card");
    EXPECT_EQ(handler_.drivers[3].device_id, 0);  // no record: a default driver

    handler_.events.clear();
    hx::impl::update({4});
    started(1, L"Updating");
    hx::cancel_update();
    complete(1);
    EXPECT_EQ(handler_.events, (events{L"update_started(Updating)", L"update_cancelled"}));
    EXPECT_FALSE(hx::session().update_cancel_requested);
}

// A handler that lets an error escape must not unwind into the engine's
// frames: the callback logs it under its own name and returns.
TEST_F(session_test, an_error_escaping_a_handler_stays_in_the_callback) {
    struct throwing : hx::callback_handler {
        void scan_started(const std::wstring&) override { throw tessel::exception_w(L"handler broke"); }
    } bad;
    hx::session().handlers.push_back(&bad);
    test_support::log_capture log;
    hx::start_scan();
    EXPECT_NO_THROW(started(0, L"Scanning"));
    hx::session().handlers.pop_back();
    bool logged = false;
    for (const std::string& t : log.texts())
        if (t.starts_with("hx::on_started") && t.find("handler broke") != std::string::npos) logged = true;
    EXPECT_TRUE(logged);
    EXPECT_TRUE(hx::session().scan_running);
}

TEST(stage_fraction, follows_the_restore_point_text_then_the_state) {
    struct row {
        const wchar_t* text;
        int state;
        double fraction;
    } rows[] = {
        {L"Creating Restore Point", 3, 0.1}, {L"now Creating Restore Point...", 99, 0.1},
        {L"creating restore point", 3, 0.2}, {L"", 4, 0.3}, {L"", 5, 0.4}, {L"", 6, 0.5}, {L"", 7, 0.6},
        {L"", 8, 1.0}, {L"", 9, 1.0}, {L"", 0, 1.0}, {L"", -1, 1.0},
    };
    for (const row& r : rows)
        EXPECT_DOUBLE_EQ(hx::stage_fraction(r.text, static_cast<hx::engine_state>(r.state)), r.fraction)
            << "text " << testing::PrintToString(std::wstring(r.text)) << " state " << r.state;
}

TEST_F(session_test, progress_while_idle_reaches_no_handler) {
    test_support::log_capture log;
    progress(0.5, L"stray", 4);
    EXPECT_TRUE(handler_.events.empty());
    EXPECT_TRUE(log.contains("hx::on_progress(0.500000, stray, 4, -1)"));
    EXPECT_TRUE(log.contains("hx::on_progress: no scan nor update running"));
}

TEST_F(session_test, update_calls_log_their_ids_and_an_empty_list_does_nothing) {
    test_support::log_capture log;
    engine_->calls.clear();
    hx::update_drivers({});
    EXPECT_TRUE(engine_->calls.empty());
    EXPECT_TRUE(log.texts().empty());
    hx::driver a, b;
    a.device_driver_id = 12;
    b.device_driver_id = 57;
    hx::update_drivers({a, b});
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"hxStartDriversUpdate", "hx::impl::update::ids: 12 57 "}));
    EXPECT_EQ(engine_->update_ids, (std::vector<std::int32_t>{12, 57}));
    EXPECT_EQ(engine_->restore_point, L"Kelvane: Updating Drivers");
}

TEST_F(session_test, refused_calls_raise_with_their_labels) {
    engine_->result = 1;
    struct row {
        void (*call)();
        const wchar_t* label;
    } rows[] = {
        {hx::start_scan, L"hxStartScan"},
        {hx::cancel_scan, L"hxCancelScan"},
        {hx::cancel_update, L"_hxCancelDriversUpdate"},
        {[] { hx::impl::update({1}); }, L"_hxStartDriversUpdate"},
    };
    for (const row& r : rows) {
        try {
            r.call();
            ADD_FAILURE() << "no exception";
        } catch (const tessel::exception_w& e) {
            EXPECT_EQ(e.message_w(), std::wstring(L"Hexcore engine indicates that call to ") + r.label +
                                         L" failed with error code HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS");
        }
    }
}

TEST(engine_init, a_refused_init_raises_and_registers_no_callbacks) {
    test_support::temp_folder folder(L"engine-init");
    tessel::config::set_names(L"Orvena", L"Tamsin");
    tessel::config::init_from(folder / L"Kelvane.exe", folder.path(), folder.path());
    scripted::engine engine;
    engine->result = HX_RESULT_ERROR_UNEXPECTED;
    scripted::recorder handler;
    EXPECT_THROW(hx::engine adapter(handler), tessel::exception_w);
    EXPECT_EQ(engine->calls, (std::vector<std::string>{"hxEngineInit"}));
    ASSERT_EQ(hx::session().handlers.size(), 1u);  // the handler stays registered
    hx::session().handlers.clear();
}

TEST(engine_log_base, skips_every_number_whose_log_exists) {
    test_support::temp_folder folder(L"engine-log-base");
    const std::wstring logs = folder / L"Logs";
    EXPECT_EQ(hx::engine_log_base(logs), logs + L"\\HX.0000");  // made when missing
    test_support::write_file(logs + L"\\HX.0000.log", "x");
    test_support::write_file(logs + L"\\HX.0002.log", "x");
    EXPECT_EQ(hx::engine_log_base(logs + L"\\"), logs + L"\\HX.0001");
    test_support::write_file(logs + L"\\HX.0001.log", "x");
    EXPECT_EQ(hx::engine_log_base(logs), logs + L"\\HX.0003");
}

TEST(bind_engine_library, names_the_missing_file_or_function) {
    test_support::temp_folder folder(L"engine-bind");
    try {
        hx::bind_engine_library(folder / L"hexcoreengine.dll");
        ADD_FAILURE() << "no exception";
    } catch (const tessel::exception_w& e) {
        EXPECT_NE(e.message_w().find(L"Unable to load " + (folder / L"hexcoreengine.dll") + L": "), std::wstring::npos);
    }
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
    try {
        hx::bind_engine_library(kernel);
        ADD_FAILURE() << "no exception";
    } catch (const tessel::exception_w& e) {
        EXPECT_NE(e.message_w().find(L"does not provide the function hxEngineInit"), std::wstring::npos)
            << tessel::unicode::to_utf8(e.message_w());
    }
}

}  // namespace
