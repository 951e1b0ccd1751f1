#include "engine/scan_results.hpp"

#include <algorithm>
#include <sstream>

#include "engine/check_result.hpp"
#include "engine/engine_api.hpp"
#include "engine/key_set.hpp"
#include "tessel/exception.hpp"
#include "tessel/log.hpp"

namespace hx {
namespace {

std::wstring text_form(const driver& d) {
    std::wostringstream out;
    write_driver(d, out);
    return out.str();
}

}  // namespace

bool is_black_listed(const driver& d) { return black_list_keys.contains(driver_key(d)); }
bool is_ignore_listed(const driver& d) { return ignore_list_keys.contains(driver_key(d)); }

std::vector<driver> get_scan_results(bool display_devices) {
    std::vector<driver> result;
    const engine_api& e = api();
    hx_scan_summary summary{};
    check_result(e.hxGetLastScanSummary(&summary), L"_hxGetLastScanSummary");
    if (summary.failed == 1)
        throw tessel::exception_w(L"Can't retrieve scan results. Engine indicates that scan failed");
    const std::int32_t count = summary.result_count;
    log_info("Outdated drivers count is %d", count);
    const hx_engine_driver* records = nullptr;
    const std::int32_t code = e.hxGetLastScanResults(&records);
    // An engine that has never scanned has nothing to show; that is not a
    // failure, or the first start of the program could never get past it.
    if (code == HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE && count <= 0) return result;
    if (code != 0 || (count > 0 && !records)) {
        log_error("_hxGetLastScanResults failed with code %d", code);
        throw tessel::exception_w(L"Can't retrieve scan results. _hxGetLastScanResults failed.");
    }
    if (count <= 0) return result;
    std::vector<std::wstring> keys;
    for (std::int32_t i = 0; i < count; ++i) {
        driver d = from_engine_record(records[i]);
        const std::wstring k = driver_key(d);
        if (d.device_description.empty()) {
            log_info(L"SKIPD {%s} (device descr empty)", k.c_str());
        } else if (is_black_listed(d)) {
            log_info(L"SKIPD {%s} (blacklisted)", k.c_str());
        } else if (is_ignore_listed(d)) {
            log_info(L"SKIPD {%s} (ignore-listed)", k.c_str());
        } else if (std::find(keys.begin(), keys.end(), k) != keys.end()) {
            log_info(L"SKIPD {%s} (already-there)", k.c_str());
        } else if (display_devices) {
            log_info(L"FOUND {%s}", text_form(d).c_str());
            keys.push_back(k);
            result.push_back(std::move(d));
        } else {
            auto same = std::find_if(result.begin(), result.end(),
                                     [&](const driver& r) { return r.device_driver_id == d.device_driver_id; });
            if (same != result.end()) {
                log_info(L"SKIPD {%s}", keys[static_cast<std::size_t>(same - result.begin())].c_str());
            } else {
                log_info(L"FOUND {%s}", text_form(d).c_str());
                keys.push_back(k);
                result.push_back(std::move(d));
            }
        }
    }
    return result;
}

}  // namespace hx
