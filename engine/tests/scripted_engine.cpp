#include "scripted_engine.hpp"

#include <cstring>
#include <cwchar>

#include "engine/engine_api.hpp"
#include "tessel/format.hpp"

namespace scripted {
namespace {

state current;

int32_t HXCALL init(const wchar_t*, const wchar_t* base) {
    current.calls.push_back("hxEngineInit");
    current.log_base = base ? base : L"";
    return current.result;
}
int32_t HXCALL set_start(hx_start_callback c) { current.start = c; current.calls.push_back("start"); return 0; }
int32_t HXCALL set_progress(hx_progress_callback c) { current.progress = c; current.calls.push_back("progress"); return 0; }
int32_t HXCALL set_complete(hx_complete_callback c) { current.complete = c; current.calls.push_back("complete"); return 0; }
int32_t HXCALL set_error(hx_error_callback c) { current.error = c; current.calls.push_back("error"); return 0; }
int32_t HXCALL start_scan() { current.calls.push_back("hxStartScan"); return current.result; }
int32_t HXCALL cancel_scan() { current.calls.push_back("hxCancelScan"); return current.result; }
int32_t HXCALL summary(hx_scan_summary* s) {
    current.calls.push_back("hxGetLastScanSummary");
    *s = current.summary;
    return current.result;
}
int32_t HXCALL results(const hx_engine_driver** out) {
    current.calls.push_back("hxGetLastScanResults");
    *out = current.records.empty() ? nullptr : current.records.data();
    return current.results_code;
}
int32_t HXCALL start_update(const int32_t* ids, int32_t count, const wchar_t* restore_point) {
    current.calls.push_back("hxStartDriversUpdate");
    current.update_ids.assign(ids, ids + count);
    current.restore_point = restore_point;
    return current.result;
}
int32_t HXCALL cancel_update() { current.calls.push_back("hxCancelDriversUpdate"); return current.result; }

const hx::engine_api table{init,      set_start, set_progress, set_complete, set_error,    start_scan,
                           cancel_scan, summary,  results,      start_update, cancel_update};

}  // namespace

engine::engine() : s_(current) {
    s_ = state();
    hx::use_engine_api(&table);
}

engine::~engine() { hx::use_engine_api(nullptr); }

hx_engine_driver record(std::int32_t device_id, std::int32_t driver_id, const wchar_t* description) {
    hx_engine_driver r;
    std::memset(&r, 0, sizeof r);
    r.device_id = device_id;
    r.device_driver_id = driver_id;
    std::wcsncpy(r.device_description, description, 255);
    return r;
}

void recorder::scan_started(const std::wstring& t) { events.push_back(L"scan_started(" + t + L")"); }
void recorder::scan_progress(const double& p, const std::wstring& t, const std::int32_t&, const std::int32_t& found) {
    events.push_back(tessel::format(L"scan_progress(%.2f,%s,%d)", p, t.c_str(), found));
}
void recorder::scan_error(const hx::engine_state& c, const std::wstring& t) {
    events.push_back(tessel::format(L"scan_error(%d,%s)", static_cast<int>(c), t.c_str()));
}
void recorder::scan_completed() { events.push_back(L"scan_completed"); }
void recorder::scan_cancelled() { events.push_back(L"scan_cancelled"); }
void recorder::update_started(const std::wstring& t) { events.push_back(L"update_started(" + t + L")"); }
void recorder::update_progress(const double& f, const std::wstring& t, const hx::engine_state& s,
                               const std::int32_t&, const hx::driver& d) {
    events.push_back(tessel::format(L"update_progress(%.1f,%s,%d)", f, t.c_str(), static_cast<int>(s)));
    drivers.push_back(d);
}
void recorder::update_error(const hx::engine_state& c, const std::wstring& t) {
    events.push_back(tessel::format(L"update_error(%d,%s)", static_cast<int>(c), t.c_str()));
}
void recorder::update_completed() { events.push_back(L"update_completed"); }
void recorder::update_cancelled() { events.push_back(L"update_cancelled"); }

}  // namespace scripted
