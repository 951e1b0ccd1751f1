#include "engine/session.hpp"

#include <ctime>

#include "engine/engine_api.hpp"
#include "engine/key_set.hpp"
#include "tessel/log.hpp"

namespace hx {
namespace {

std::wstring text_of(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

std::int64_t now() { return static_cast<std::int64_t>(std::time(nullptr)); }

template <class Call>
void for_each_handler(Call call) {
    for (callback_handler* h : session().handlers) call(*h);
}

// A handler's error must not unwind into the engine's own frames.
template <class Body>
void guarded(const wchar_t* scope, Body body) noexcept {
    try {
        body();
    } catch (...) {
        log_exception(scope);
    }
}

}  // namespace

void session_state::reset() {
    scan_running = false;
    update_running = false;
    scan_cancel_requested = false;
    update_cancel_requested = false;
    scan_failed = false;
    update_failed = false;
    start_time = 0;
    found_count = 0;
}

session_state& session() {
    static session_state s;
    return s;
}

double stage_fraction(const std::wstring& text, engine_state state) {
    if (text.find(L"Creating Restore Point") != std::wstring::npos) return 0.1;
    switch (static_cast<std::int32_t>(state)) {
    case 3: return 0.2;
    case 4: return 0.3;
    case 5: return 0.4;
    case 6: return 0.5;
    case 7: return 0.6;
    default: return 1.0;
    }
}

void HXCALL on_started(std::int32_t operation, const wchar_t* raw_text) {
    guarded(L"hx::on_started", [&] {
        const std::wstring text = text_of(raw_text);
        log_info(L"hx::on_started(%s)", text.c_str());
        session_state& s = session();
        s.start_time = now();
        if (operation != HX_OPERATION_SCAN) {
            s.update_running = true;
            for_each_handler([&](callback_handler& h) { h.update_started(text); });
        } else {
            s.scan_running = true;
            for_each_handler([&](callback_handler& h) { h.scan_started(text); });
        }
    });
}

void HXCALL on_progress(double progress, const wchar_t* raw_text, std::int32_t state,
                        const hx_engine_driver* record) {
    guarded(L"hx::on_progress", [&] {
        const std::wstring text = text_of(raw_text);
        log_info(L"hx::on_progress(%f, %s, %d, %d)", progress, text.c_str(), state,
                 record ? record->device_driver_id : -1);
        session_state& s = session();
        const std::int32_t elapsed = static_cast<std::int32_t>(now() - s.start_time);
        if (s.scan_running) {
            if (s.scan_failed) {
                log_info("hx::on_progress: there was a scan error");
                return;
            }
            if (state == static_cast<std::int32_t>(engine_state::scan_found_driver)) {
                const std::wstring key = driver_key(record ? from_engine_record(*record) : driver());
                if (!black_list_keys.contains(key) && !ignore_list_keys.contains(key)) ++s.found_count;
            }
            const std::int32_t found = s.found_count;
            for_each_handler([&](callback_handler& h) { h.scan_progress(progress, text, elapsed, found); });
            return;
        }
        if (!s.update_running) {
            log_info("hx::on_progress: no scan nor update running");
            return;
        }
        if (s.update_failed) {
            log_info("hx::on_progress: there was an update error");
            return;
        }
        const engine_state st = static_cast<engine_state>(state);
        const double fraction = stage_fraction(text, st);
        const driver d = record ? from_engine_record(*record) : driver();
        for_each_handler([&](callback_handler& h) { h.update_progress(fraction, text, st, elapsed, d); });
    });
}

void HXCALL on_complete(std::int32_t operation) {
    guarded(L"hx::on_complete", [&] {
        log_info("hx::on_complete");
        session_state& s = session();
        if (operation != HX_OPERATION_SCAN) {
            s.update_running = false;
            if (s.update_failed) return;
            if (s.update_cancel_requested.exchange(false)) {
                log_info("hx::on_update_cancelled");
                for_each_handler([](callback_handler& h) { h.update_cancelled(); });
            } else {
                log_info("hx::on_update_completed");
                for_each_handler([](callback_handler& h) { h.update_completed(); });
            }
        } else {
            s.scan_running = false;
            if (s.scan_failed) return;
            if (s.scan_cancel_requested.exchange(false)) {
                log_info("hx::on_scan_cancelled");
                for_each_handler([](callback_handler& h) { h.scan_cancelled(); });
            } else {
                log_info("hx::on_scan_completed");
                for_each_handler([](callback_handler& h) { h.scan_completed(); });
            }
        }
    });
}

void HXCALL on_error(std::int32_t operation, const wchar_t* raw_text, std::int32_t code) {
    guarded(L"hx::on_error", [&] {
        const std::wstring text = text_of(raw_text);
        log_info(L"hx::on_error(%s)", text.c_str());
        session_state& s = session();
        const engine_state c = static_cast<engine_state>(code);
        if (operation != HX_OPERATION_SCAN) {
            s.update_running = false;
            s.update_failed = true;
            // Nothing after a failed driver may be installed; the result
            // does not matter here.
            api().hxCancelDriversUpdate();
            for_each_handler([&](callback_handler& h) { h.update_error(c, text); });
        } else {
            s.scan_running = false;
            s.scan_failed = true;
            for_each_handler([&](callback_handler& h) { h.scan_error(c, text); });
        }
    });
}

}  // namespace hx
