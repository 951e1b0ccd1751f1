// The engine itself: configuration, the last scan's results, and the scan
// and update runs on threads of their own. One instance per process,
// behind the exported functions.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bindings/hexcore.h"
#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/config.hpp"
#include "outside/hexcore/device.hpp"
#include "outside/hexcore/engine_log.hpp"

namespace hexcore {

// Error codes of the error callback (update drivers fail with their state).
enum : std::int32_t {
    error_download_failed = 9,
    error_install_failed = 10,
    error_catalog = 11,
    error_inventory = 12,
    error_restore_point = 13,
};

// Progress state of a device being examined during a scan.
inline constexpr std::int32_t state_examining = 1;

struct scan_entry {
    hx_engine_driver record;
    std::wstring instance_id;
    std::wstring matched_id;  // the hardware or compatible id the package serves
};

class core {
public:
    explicit core(std::wstring engine_folder) : folder_(std::move(engine_folder)) {}

    std::int32_t init(const wchar_t* application_id, const wchar_t* log_base);
    void set_callbacks(hx_start_callback s) { start_cb_ = s; }
    void set_callbacks(hx_progress_callback p) { progress_cb_ = p; }
    void set_callbacks(hx_complete_callback c) { complete_cb_ = c; }
    void set_callbacks(hx_error_callback e) { error_cb_ = e; }

    std::int32_t start_scan();
    std::int32_t cancel_scan();
    std::int32_t summary(hx_scan_summary* out);
    std::int32_t results(const hx_engine_driver** out);
    std::int32_t start_update(const std::int32_t* ids, std::int32_t count, const wchar_t* restore_point);
    std::int32_t cancel_update();

private:
    enum operation : int { none = 0, scanning = 1, updating = 2 };

    // Runs the operation on a thread of its own; running_ is already set.
    std::int32_t launch(std::function<void()> run);
    void run_scan(config c);
    void run_update(config c, std::vector<std::int32_t> ids, std::wstring description,
                    std::vector<scan_entry> entries);
    // One driver; false when the run must stop.
    bool update_one(const config& c, const catalog& cat, const std::wstring& catalog_location, std::int32_t id,
                    const std::vector<const scan_entry*>& devices, bool& changed);

    void started(std::int32_t op, const std::wstring& text);
    void progress(double p, const std::wstring& text, std::int32_t state, const hx_engine_driver* record);
    void completed(std::int32_t op);
    void failed(std::int32_t op, const std::wstring& text, std::int32_t code);

    std::vector<device> load_inventory(const config& c);
    std::unique_ptr<catalog> load_catalog(const config& c);
    void store_results(std::vector<scan_entry> entries, const hx_scan_summary& s, const config& c);
    void load_stored_results(const config& c);

    const std::wstring folder_;
    engine_log log_;
    std::atomic<hx_start_callback> start_cb_{nullptr};
    std::atomic<hx_progress_callback> progress_cb_{nullptr};
    std::atomic<hx_complete_callback> complete_cb_{nullptr};
    std::atomic<hx_error_callback> error_cb_{nullptr};
    std::atomic<int> running_{none};
    std::atomic<bool> cancel_scan_{false}, cancel_update_{false};
    std::atomic<bool> initialised_{false};

    std::mutex data_lock_;  // guards what follows
    config config_;
    bool have_results_ = false;
    hx_scan_summary summary_{};
    std::vector<scan_entry> entries_;
    std::vector<hx_engine_driver> records_;
};

}  // namespace hexcore
