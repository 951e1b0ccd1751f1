#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "harness.hpp"
#include "tessel/unicode.hpp"
#include "outside/hexcore/live_devices.hpp"

namespace {

// A live install whose driver does not arrive fails the driver with state
// 10, whatever the system's call said. Windows refuses this INF, which
// serves another device; Wine's UpdateDriverForPlugAndPlayDevicesW reports
// success for anything, and the check after it catches that.
TEST(live_install, an_install_that_does_not_arrive_fails_the_driver) {
    const std::vector<hexcore::device> devices = hexcore::live_inventory();
    const auto with_id = std::find_if(devices.begin(), devices.end(),
                                      [](const hexcore::device& d) { return !d.hardware_ids.empty(); });
    if (with_id == devices.end()) GTEST_SKIP() << "no device here reports a hardware id";
    harness::world w(L"hexcore-live-install");
    w.write_catalog({{88, "2.0.0.0", "2024-03-12", "", tessel::unicode::to_utf8(with_id->hardware_ids.front()),
                      "display.cab"}});
    ASSERT_EQ(harness::configure("<hexcore><inventory source=\"live\"/><catalog location=\"" + w.narrow(L"catalog.xml") +
                                 "\"/><cache folder=\"" + w.narrow(L"cache") +
                                 "\"/><restore-point mode=\"journal\"/></hexcore>"),
              0);
    harness::clear_events();
    ASSERT_EQ(harness::engine().hxStartScan(), 0);
    ASSERT_TRUE(harness::wait_complete(HX_OPERATION_SCAN));
    harness::clear_events();
    const std::int32_t id = 88;
    ASSERT_EQ(harness::engine().hxStartDriversUpdate(&id, 1, L"live"), 0);
    ASSERT_TRUE(harness::wait_complete(HX_OPERATION_UPDATE));
    std::vector<std::int32_t> states;
    const harness::event* error = nullptr;
    for (const harness::event& e : harness::events()) {
        if (e.kind == harness::event::progress && e.state >= 6) states.push_back(e.state);
        if (e.kind == harness::event::error) error = &e;
    }
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->state, 10) << tessel::unicode::to_utf8(error->text);
    EXPECT_EQ(states.back(), 10);
    EXPECT_EQ(std::count(states.begin(), states.end(), 8), 0);
    // The journal restore point of a live inventory is a profile of it.
    bool journal = false;
    for (const auto& f : std::filesystem::directory_iterator(w.path(L"cache\\Journal")))
        journal = test_support::read_file(f.path().wstring()).find("<profile>") != std::string::npos;
    EXPECT_TRUE(journal);

    // The 64-bit helper says why with its exit code.
    const std::wstring helper = harness::here() + HEXCORE_DIST_FROM_TESTS + L"hexcoreinstall.exe";
    ASSERT_TRUE(test_support::file_exists(helper));
    EXPECT_EQ(test_support::run_process(helper, L""), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(live_install, driver_dates_of_the_driver_key_read_month_day_year) {
    struct row {
        const wchar_t* text;
        bool ok;
        WORD year, month, day;
    } rows[] = {
        {L"3-12-2024", true, 2024, 3, 12}, {L"12-1-1999", true, 1999, 12, 1},
        {L"13-1-2024", false, 0, 0, 0},    {L"", false, 0, 0, 0}, {L"2024-03-12", false, 0, 0, 0},
    };
    for (const row& r : rows) {
        SYSTEMTIME t{};
        EXPECT_EQ(hexcore::parse_driver_date(r.text, t), r.ok) << testing::PrintToString(std::wstring(r.text));
        if (r.ok) {
            EXPECT_EQ(t.wYear, r.year);
            EXPECT_EQ(t.wMonth, r.month);
            EXPECT_EQ(t.wDay, r.day);
        }
    }
}

}  // namespace
