// An engine of the tests' own: a function table that records every call
// and keeps the callbacks the adapter registers, so a test can play the
// engine's part by calling them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/hexcore.h"
#include "engine/callback_handler.hpp"

namespace scripted {

struct state {
    std::vector<std::string> calls;
    std::int32_t result = 0;  // returned by every call
    std::vector<std::int32_t> update_ids;
    std::wstring restore_point, log_base;
    hx_scan_summary summary{};
    std::vector<hx_engine_driver> records;
    std::int32_t results_code = 0;
    hx_start_callback start = nullptr;
    hx_progress_callback progress = nullptr;
    hx_complete_callback complete = nullptr;
    hx_error_callback error = nullptr;
};

// Fresh state, the table injected; undone by the destructor.
class engine {
public:
    engine();
    ~engine();
    state& operator*() { return s_; }
    state* operator->() { return &s_; }

private:
    state& s_;
};

hx_engine_driver record(std::int32_t device_id, std::int32_t driver_id, const wchar_t* description);

// Records every event as one line of text.
struct recorder : hx::callback_handler {
    std::vector<std::wstring> events;
    std::vector<hx::driver> drivers;
    void scan_started(const std::wstring& t) override;
    void scan_progress(const double& p, const std::wstring& t, const std::int32_t& elapsed,
                       const std::int32_t& found) override;
    void scan_error(const hx::engine_state& c, const std::wstring& t) override;
    void scan_completed() override;
    void scan_cancelled() override;
    void update_started(const std::wstring& t) override;
    void update_progress(const double& f, const std::wstring& t, const hx::engine_state& s,
                         const std::int32_t& elapsed, const hx::driver& d) override;
    void update_error(const hx::engine_state& c, const std::wstring& t) override;
    void update_completed() override;
    void update_cancelled() override;
};

}  // namespace scripted
