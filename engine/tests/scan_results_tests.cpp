#include <gtest/gtest.h>

#include "engine/key_set.hpp"
#include "engine/scan_results.hpp"
#include "scripted_engine.hpp"
#include "support.hpp"
#include "tessel/exception.hpp"

namespace {

using strings = std::vector<std::string>;

class scan_results_test : public ::testing::Test {
protected:
    scan_results_test() {
        hx::black_list_keys.replace({});
        hx::ignore_list_keys.replace({});
    }
    ~scan_results_test() override {
        hx::black_list_keys.replace({});
        hx::ignore_list_keys.replace({});
    }
    void give(std::vector<hx_engine_driver> records) {
        engine_->records = std::move(records);
        engine_->summary.result_count = static_cast<std::int32_t>(engine_->records.size());
    }
    // The SKIPD lines and the keys of the FOUND ones, in order.
    strings filter_lines() const {
        strings out;
        for (const std::string& t : log_.texts()) {
            if (t.starts_with("SKIPD")) out.push_back(t);
            if (t.starts_with("FOUND")) {
                const std::size_t from = t.find("id=") + 3;
                out.push_back("FOUND " + t.substr(from, t.find(" \n", from) - from));
            }
        }
        return out;
    }

    scripted::engine engine_;
    test_support::log_capture log_;
};

std::vector<std::wstring> keys_of(const std::vector<hx::driver>& list) {
    std::vector<std::wstring> out;
    for (const hx::driver& d : list) out.push_back(hx::driver_key(d));
    return out;
}

TEST_F(scan_results_test, a_count_of_zero_returns_nothing_after_both_calls) {
    give({});
    engine_->records.push_back(scripted::record(1, 1, L"never read"));
    EXPECT_TRUE(hx::get_scan_results(true).empty());
    EXPECT_EQ(engine_->calls, (strings{"hxGetLastScanSummary", "hxGetLastScanResults"}));
    EXPECT_TRUE(log_.contains("Outdated drivers count is 0"));
}

TEST_F(scan_results_test, an_engine_that_never_scanned_gives_an_empty_list) {
    engine_->results_code = HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE;
    EXPECT_TRUE(hx::get_scan_results(false).empty());
}

TEST_F(scan_results_test, failures_raise_their_messages) {
    struct row {
        std::int32_t summary_result, failed, results_code, count;
        std::wstring message;
    } rows[] = {
        {4, 0, 0, 0, L"Hexcore engine indicates that call to _hxGetLastScanSummary failed with error code "
                     L"HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE"},
        {0, 1, 0, 0, L"Can't retrieve scan results. Engine indicates that scan failed"},
        {0, 0, 0xEADEED, 1, L"Can't retrieve scan results. _hxGetLastScanResults failed."},
        {0, 0, 4, 2, L"Can't retrieve scan results. _hxGetLastScanResults failed."},
    };
    for (const row& r : rows) {
        engine_->result = r.summary_result;
        engine_->summary.failed = r.failed;
        engine_->summary.result_count = r.count;
        engine_->results_code = r.results_code;
        try {
            hx::get_scan_results(true);
            ADD_FAILURE() << "no exception for row " << (&r - rows);
        } catch (const tessel::exception_w& e) {
            EXPECT_EQ(e.message_w(), r.message);
        }
    }
    EXPECT_TRUE(log_.contains("_hxGetLastScanResults failed with code 15392493"));
}

TEST_F(scan_results_test, rules_apply_in_order_and_display_devices_folds_shared_drivers) {
    const hx_engine_driver gpu_a = scripted::record(1, 50, L"GPU A");
    const hx_engine_driver gpu_b = scripted::record(2, 50, L"GPU B");
    const hx_engine_driver gpu_c = scripted::record(3, 50, L"GPU C");
    const hx_engine_driver blank = scripted::record(4, 51, L"");
    const hx_engine_driver both = scripted::record(5, 52, L"Both");
    const hx_engine_driver ignored = scripted::record(6, 53, L"Ignored");
    const hx_engine_driver audio = scripted::record(7, 54, L"Audio");
    give({gpu_a, blank, gpu_b, both, audio, ignored, gpu_a, gpu_c});
    hx::black_list_keys.replace({L"00000005.00000034.Both"});
    hx::ignore_list_keys.replace({L"00000005.00000034.Both", L"00000006.00000035.Ignored"});

    const std::vector<hx::driver> folded = hx::get_scan_results(false);
    EXPECT_EQ(keys_of(folded), (std::vector<std::wstring>{L"00000001.00000032.GPU A", L"00000007.00000036.Audio"}));
    EXPECT_EQ(filter_lines(), (strings{
                                  "FOUND 00000001.00000032.GPU A",
                                  "SKIPD {00000004.00000033.} (device descr empty)",
                                  "SKIPD {00000001.00000032.GPU A}",
                                  "SKIPD {00000005.00000034.Both} (blacklisted)",
                                  "FOUND 00000007.00000036.Audio",
                                  "SKIPD {00000006.00000035.Ignored} (ignore-listed)",
                                  "SKIPD {00000001.00000032.GPU A} (already-there)",
                                  "SKIPD {00000001.00000032.GPU A}",
                              }));

    const std::vector<hx::driver> all = hx::get_scan_results(true);
    EXPECT_EQ(keys_of(all), (std::vector<std::wstring>{L"00000001.00000032.GPU A", L"00000002.00000032.GPU B",
                                                       L"00000007.00000036.Audio", L"00000003.00000032.GPU C"}));
}

TEST_F(scan_results_test, ignoring_a_driver_removes_exactly_its_key) {
    give({scripted::record(1, 9, L"Cam"), scripted::record(2, 9, L"Cam"), scripted::record(1, 9, L"Cam")});
    EXPECT_EQ(hx::get_scan_results(true).size(), 2u);
    hx::ignore_list_keys.replace({L"00000001.00000009.Cam"});
    EXPECT_EQ(keys_of(hx::get_scan_results(true)), (std::vector<std::wstring>{L"00000002.00000009.Cam"}));
    EXPECT_TRUE(hx::is_ignore_listed(hx::from_engine_record(scripted::record(1, 9, L"Cam"))));
    EXPECT_FALSE(hx::is_black_listed(hx::from_engine_record(scripted::record(1, 9, L"Cam"))));
}

TEST_F(scan_results_test, a_found_line_carries_the_driver_text_form) {
    hx_engine_driver r = scripted::record(255, 4096, L"Mouse");
    std::wcscpy(r.available_driver_version, L"2.0.0.1");
    give({r});
    hx::get_scan_results(true);
    bool seen = false;
    for (const std::string& t : log_.texts())
        if (t.starts_with("FOUND {\n   id=000000ff.00001000.Mouse \n")) {
            seen = true;
            EXPECT_NE(t.find("\n   available_driver_version=2.0.0.1\n"), std::string::npos);
            EXPECT_TRUE(t.ends_with("\n}"));
        }
    EXPECT_TRUE(seen);
}

}  // namespace
