#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "harness.hpp"
#include "outside/hexcore/device.hpp"
#include "outside/hexcore/live_devices.hpp"
#include "tessel/unicode.hpp"

namespace {

using harness::event;

std::vector<event> of_state(const std::vector<event>& all, std::int32_t state) {
    std::vector<event> out;
    for (const event& e : all)
        if (e.kind == event::progress && e.state == state) out.push_back(e);
    return out;
}

const event* first(const std::vector<event>& all, event::kind_t kind) {
    for (const event& e : all)
        if (e.kind == kind) return &e;
    return nullptr;
}

hx_scan_summary summary() {
    hx_scan_summary s{};
    EXPECT_EQ(harness::engine().hxGetLastScanSummary(&s), 0);
    return s;
}

// Runs a scan to its end.
std::vector<event> scan() {
    harness::clear_events();
    EXPECT_EQ(harness::engine().hxStartScan(), 0);
    EXPECT_TRUE(harness::wait_complete(HX_OPERATION_SCAN));
    return harness::events();
}

std::wstring demo(const std::wstring& name) { return harness::here() + HEXCORE_DIST_FROM_TESTS + name; }

TEST(scan, the_demo_profile_lists_its_outdated_devices_with_stable_ids) {
    harness::world w(L"hexcore-demo-scan");
    ASSERT_TRUE(::CopyFileW(demo(L"demo\\profile.xml").c_str(), w.path(L"profile.xml").c_str(), FALSE));
    ASSERT_EQ(harness::configure(w.config(tessel::unicode::to_utf8(demo(L"catalog\\catalog.xml")))), 0);
    const std::vector<event> all = scan();

    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().kind, event::start);
    EXPECT_EQ(all.front().operation, HX_OPERATION_SCAN);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(first(all, event::error), nullptr);
    EXPECT_EQ(of_state(all, 1).size(), 25u);  // every device examined
    const std::vector<event> found = of_state(all, 2);
    ASSERT_EQ(found.size(), 14u);

    std::map<std::int32_t, int> per_package;
    for (const event& e : found) {
        ASSERT_TRUE(e.has_record);
        ++per_package[e.record.device_driver_id];
    }
    EXPECT_EQ(per_package.size(), 10u);
    EXPECT_EQ(per_package[1006], 4);  // the chipset package serves four devices
    EXPECT_EQ(per_package[1007], 2);  // both USB controllers, through their compatible id
    EXPECT_EQ(per_package.count(1011), 0u);  // same version as installed
    EXPECT_EQ(per_package.count(1012), 0u);  // older than installed
    const auto no_driver = std::find_if(found.begin(), found.end(), [](const event& e) { return e.record.device_driver_id == 1010; });
    ASSERT_NE(no_driver, found.end());
    EXPECT_EQ(no_driver->record.installed_driver_version[0], 0);
    EXPECT_EQ(std::count_if(found.begin(), found.end(), [](const event& e) { return e.record.device_description[0] == 0; }), 1);

    const hx_scan_summary s = summary();
    EXPECT_EQ(s.result_count, 14);
    EXPECT_EQ(s.failed, 0);
    const hx_engine_driver* results = nullptr;
    ASSERT_EQ(harness::engine().hxGetLastScanResults(&results), 0);
    ASSERT_NE(results, nullptr);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(results[i].device_id, found[static_cast<std::size_t>(i)].record.device_id);

    // The same devices get the same ids in the next scan, and after a new
    // initialisation (a new program run) the results are still there.
    const std::vector<event> again = of_state(scan(), 2);
    ASSERT_EQ(again.size(), found.size());
    for (std::size_t i = 0; i < found.size(); ++i) EXPECT_EQ(again[i].record.device_id, found[i].record.device_id);
    ASSERT_EQ(harness::configure(w.config(tessel::unicode::to_utf8(demo(L"catalog\\catalog.xml")))), 0);
    EXPECT_EQ(summary().result_count, 14);
}

TEST(scan, unusable_profiles_and_catalogs_fail_the_scan_with_an_error) {
    harness::world w(L"hexcore-bad-data");
    const std::vector<harness::device_spec> devices = {{"PCI\\A\\1", "A", "PCI\\A", "", "1.0.0.0", "2020-01-01"}};
    struct row {
        const char* name;
        std::string profile, catalog, words;
    } rows[] = {
        {"malformed catalog", "", "<catalog><package id=", "Unable to read the catalog: The catalog"},
        {"missing catalog", "", "-", "Unable to read the catalog: Unable to open"},
        {"bad package", "", "<catalog><package id=\"1\" version=\"x\"/></catalog>", "no valid version"},
        {"malformed profile", "<profile><device", "", "Unable to read the device inventory: The device profile"},
        {"missing profile", "-", "", "cannot be read"},
        {"driver without version", "<profile><device instance-id=\"X\"><driver date=\"2020-01-01\"/></device></profile>", "",
         "without a valid version"},
    };
    for (const row& r : rows) {
        w.write_profile(devices);
        w.write_catalog({});
        if (r.profile == "-") ::DeleteFileW(w.path(L"profile.xml").c_str());
        else if (!r.profile.empty()) test_support::write_file(w.path(L"profile.xml"), r.profile);
        if (r.catalog == "-") ::DeleteFileW(w.path(L"catalog.xml").c_str());
        else if (!r.catalog.empty()) test_support::write_file(w.path(L"catalog.xml"), r.catalog);
        ASSERT_EQ(harness::configure(w.config()), 0);
        const std::vector<event> all = scan();
        const event* error = first(all, event::error);
        ASSERT_NE(error, nullptr) << r.name;
        EXPECT_EQ(error->operation, HX_OPERATION_SCAN);
        EXPECT_NE(error->text.find(tessel::unicode::from_utf8(r.words)), std::wstring::npos)
            << r.name << ": " << tessel::unicode::to_utf8(error->text);
        EXPECT_EQ(all.back().kind, event::complete) << r.name;
        EXPECT_EQ(summary().failed, 1) << r.name;
        EXPECT_EQ(summary().result_count, 0) << r.name;
    }
}

TEST(scan, a_cancelled_scan_ends_early_with_its_complete_callback) {
    harness::world w(L"hexcore-cancel-scan");
    std::vector<harness::device_spec> devices;
    for (int i = 0; i < 50; ++i)
        devices.push_back({"PCI\\A\\" + std::to_string(i), "A" + std::to_string(i), "PCI\\A", "", "1.0.0.0", "2020-01-01"});
    w.write_profile(devices);
    w.write_catalog({{1, "2.0.0.0", "2024-01-01", "", "PCI\\A"}});
    ASSERT_EQ(harness::configure(w.config()), 0);
    harness::on_event([](const event& e) {
        // From inside a callback, on the engine's thread.
        if (e.kind == event::progress && e.text == L"A2") harness::engine().hxCancelScan();
    });
    const std::vector<event> all = scan();
    harness::on_event(nullptr);
    EXPECT_EQ(all.back().kind, event::complete);
    EXPECT_EQ(of_state(all, 1).size(), 3u);
    EXPECT_EQ(summary().result_count, 3);
}

TEST(scan, calls_out_of_turn_get_their_result_codes) {
    harness::world w(L"hexcore-codes");
    w.write_profile({{"PCI\\A\\1", "A", "PCI\\A", "", "1.0.0.0", "2020-01-01"}});
    w.write_catalog({{5, "2.0.0.0", "2024-01-01", "", "PCI\\A"}});
    ASSERT_EQ(harness::configure(w.config()), 0);
    const harness::functions& e = harness::engine();
    // A fresh cache: nothing scanned yet.
    const hx_engine_driver* results = nullptr;
    EXPECT_EQ(e.hxGetLastScanResults(&results), HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE);
    EXPECT_EQ(summary().result_count, 0);
    const std::int32_t five = 5;
    EXPECT_EQ(e.hxStartDriversUpdate(&five, 1, L"x"), HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE);

    // While a scan waits inside its first callback, nothing else may start.
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    harness::on_event([release](const event& ev) {
        if (ev.kind == event::start) ::WaitForSingleObject(release, 10000);
    });
    harness::clear_events();
    ASSERT_EQ(e.hxStartScan(), 0);
    EXPECT_EQ(e.hxStartScan(), HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS);
    EXPECT_EQ(e.hxStartDriversUpdate(&five, 1, L"x"), HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS);
    EXPECT_EQ(e.hxEngineInit(L"id", L""), HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS);
    ::SetEvent(release);
    ASSERT_TRUE(harness::wait_complete(HX_OPERATION_SCAN));
    harness::on_event(nullptr);
    ::CloseHandle(release);

    const std::int32_t unknown[] = {5, 6};
    EXPECT_EQ(e.hxStartDriversUpdate(unknown, 2, L"x"), HX_RESULT_ERROR_UNKNOWN_DEVICE_DRIVER_ID_SPECIFIED);
    EXPECT_EQ(e.hxStartDriversUpdate(unknown, 0, L"x"), HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED);
    EXPECT_EQ(e.hxStartDriversUpdate(nullptr, 1, L"x"), HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED);
    EXPECT_EQ(e.hxCancelScan(), 0);  // nothing to cancel is no failure
    EXPECT_EQ(e.hxCancelDriversUpdate(), 0);
}

TEST(engine_init, a_configuration_it_cannot_use_fails_the_init_and_the_log_says_why) {
    test_support::temp_folder logs(L"hexcore-init");
    struct row {
        std::string xml, words;
    } rows[] = {
        {"<hexcore><inventory source=", "is malformed"},
        {"<other/>", "has no hexcore element"},
        {"<hexcore><inventory source=\"disk\"/></hexcore>", "unknown inventory source disk"},
        {"<hexcore><inventory source=\"file\"/></hexcore>", "names no device profile"},
        {"<hexcore><restore-point mode=\"never\"/></hexcore>", "unknown restore-point mode never"},
    };
    int n = 0;
    for (const row& r : rows) {
        const std::wstring base = logs / (L"HX." + std::to_wstring(n++));
        EXPECT_EQ(harness::configure(r.xml, base), HX_RESULT_ERROR_UNEXPECTED) << r.xml;
        const std::string log = test_support::read_file(base + L".log");
        EXPECT_NE(log.find("hxEngineInit failed"), std::string::npos) << log;
        EXPECT_NE(log.find(r.words), std::string::npos) << log;
    }
}

TEST(scan, the_live_inventory_reads_the_machines_devices) {
    // Under Wine these are Wine's own devices.
    const std::vector<hexcore::device> devices = hexcore::live_inventory();
    std::set<std::wstring> ids;
    for (const hexcore::device& d : devices) {
        EXPECT_FALSE(d.instance_id.empty());
        ids.insert(d.instance_id);
    }
    EXPECT_EQ(ids.size(), devices.size());
    const auto with_id = std::find_if(devices.begin(), devices.end(),
                                      [](const hexcore::device& d) { return !d.hardware_ids.empty(); });
    if (with_id == devices.end()) GTEST_SKIP() << "no device here reports a hardware id (" << devices.size() << " devices)";

    // A catalog that serves that device makes the live scan report it.
    harness::world w(L"hexcore-live");
    w.write_catalog({{77, "999.0.0.0", "2030-01-01", "", tessel::unicode::to_utf8(with_id->hardware_ids.front())}});
    ASSERT_EQ(harness::configure("<hexcore><inventory source=\"live\"/><catalog location=\"" + w.narrow(L"catalog.xml") +
                                 "\"/><cache folder=\"" + w.narrow(L"cache") + "\"/></hexcore>"),
              0);
    const std::vector<event> all = scan();
    EXPECT_EQ(first(all, event::error), nullptr);
    EXPECT_EQ(of_state(all, 1).size(), devices.size());
    const std::vector<event> found = of_state(all, 2);
    const auto mine = std::find_if(found.begin(), found.end(),
                                   [&](const event& e) { return e.record.device_id == hexcore::device_id_of(with_id->instance_id); });
    ASSERT_NE(mine, found.end());
    EXPECT_EQ(mine->record.device_driver_id, 77);
    EXPECT_EQ(std::wstring(mine->record.device_description), with_id->description);
}

}  // namespace
