// The eleven exported functions: each one hands over to the process's one
// engine and lets no exception cross into the caller.
#include <windows.h>

#include "bindings/hexcore.h"
#include "outside/hexcore/core.hpp"

namespace {

std::wstring library_folder() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&library_folder), &self);
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

// Made on first use and never destroyed: its threads may outlive any
// orderly shutdown of the process.
hexcore::core& engine() {
    static hexcore::core* instance = new hexcore::core(library_folder());
    return *instance;
}

template <class Body>
int32_t guarded(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return HX_RESULT_ERROR_UNEXPECTED;
    }
}

}  // namespace

extern "C" {

int32_t HXCALL hxEngineInit(const wchar_t* application_id, const wchar_t* log_base_path) {
    return guarded([&] { return engine().init(application_id, log_base_path); });
}
int32_t HXCALL hxSetOperationStartCallback(hx_start_callback callback) {
    return guarded([&] { engine().set_callbacks(callback); return 0; });
}
int32_t HXCALL hxSetOperationProgressCallback(hx_progress_callback callback) {
    return guarded([&] { engine().set_callbacks(callback); return 0; });
}
int32_t HXCALL hxSetOperationCompleteCallback(hx_complete_callback callback) {
    return guarded([&] { engine().set_callbacks(callback); return 0; });
}
int32_t HXCALL hxSetOperationErrorCallback(hx_error_callback callback) {
    return guarded([&] { engine().set_callbacks(callback); return 0; });
}
int32_t HXCALL hxStartScan(void) { return guarded([] { return engine().start_scan(); }); }
int32_t HXCALL hxCancelScan(void) { return guarded([] { return engine().cancel_scan(); }); }
int32_t HXCALL hxGetLastScanSummary(hx_scan_summary* summary) {
    return guarded([&] { return engine().summary(summary); });
}
int32_t HXCALL hxGetLastScanResults(const hx_engine_driver** results) {
    return guarded([&] { return engine().results(results); });
}
int32_t HXCALL hxStartDriversUpdate(const int32_t* device_driver_ids, int32_t count, const wchar_t* restore_point) {
    return guarded([&] { return engine().start_update(device_driver_ids, count, restore_point); });
}
int32_t HXCALL hxCancelDriversUpdate(void) { return guarded([] { return engine().cancel_update(); }); }

}  // extern "C"
