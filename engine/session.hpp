// The process-wide engine session: the flags that decide which engine
// callbacks are passed on, and the registry of handlers they go to. The
// flags are atomics because the callbacks run on the engine's threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "bindings/hexcore.h"
#include "engine/callback_handler.hpp"

namespace hx {

struct session_state {
    std::atomic<bool> scan_running{false};
    std::atomic<bool> update_running{false};
    std::atomic<bool> scan_cancel_requested{false};
    std::atomic<bool> update_cancel_requested{false};
    std::atomic<bool> scan_failed{false};
    std::atomic<bool> update_failed{false};
    std::atomic<std::int64_t> start_time{0};
    std::atomic<std::int32_t> found_count{0};
    // Changed on the window thread only, when an adapter is made or ended.
    std::vector<callback_handler*> handlers;

    void reset();
};

session_state& session();

// The four callbacks registered with the engine.
void HXCALL on_started(std::int32_t operation, const wchar_t* text);
void HXCALL on_progress(double progress, const wchar_t* text, std::int32_t state, const hx_engine_driver* record);
void HXCALL on_complete(std::int32_t operation);
void HXCALL on_error(std::int32_t operation, const wchar_t* text, std::int32_t code);

// The progress fraction the updating list shows for an update report.
double stage_fraction(const std::wstring& text, engine_state state);

}  // namespace hx
