#include "outside/hexcore/core.hpp"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <filesystem>
#include <thread>

#include "outside/hexcore/fetch.hpp"
#include "outside/hexcore/live_devices.hpp"
#include "outside/hexcore/match.hpp"
#include "outside/hexcore/package_check.hpp"
#include "outside/hexcore/profile.hpp"
#include "outside/hexcore/restore_point.hpp"
#include "outside/hexcore/results_file.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

std::wstring description_of(const hx_engine_driver& r) {
    return std::wstring(r.device_description, ::wcsnlen(r.device_description, 256));
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

std::int32_t core::init(const wchar_t* application_id, const wchar_t* log_base) {
    if (running_ != none) return HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS;
    log_.open(log_base ? log_base : L"");
    log_.write("hxEngineInit(" + utf8(application_id ? application_id : L"") + ") in " + utf8(folder_));
    try {
        config c = read_config(folder_);
        log_.write("inventory: " + (c.inventory == config::inventory_source::file ? "file " + utf8(c.profile)
                                                                                     : std::string("live")) +
                   "; catalog: " + utf8(c.catalog) + "; cache: " + utf8(c.cache) + "; restore point: " +
                   (c.restore == config::restore_mode::system ? "system" : "journal " + utf8(c.journal)));
        std::lock_guard<std::mutex> guard(data_lock_);
        config_ = c;
        load_stored_results(c);
    } catch (const std::exception& e) {
        log_.write(std::string("hxEngineInit failed: ") + e.what());
        return HX_RESULT_ERROR_UNEXPECTED;
    }
    initialised_ = true;
    return HX_RESULT_SUCCESS;
}

void core::started(std::int32_t op, const std::wstring& text) {
    if (auto cb = start_cb_.load()) cb(op, text.c_str());
}

void core::progress(double p, const std::wstring& text, std::int32_t state, const hx_engine_driver* record) {
    if (auto cb = progress_cb_.load()) cb(p, text.c_str(), state, record);
}

void core::completed(std::int32_t op) {
    log_.write(op == HX_OPERATION_SCAN ? "scan complete" : "update complete");
    // The next operation may start from inside this very callback.
    running_ = none;
    if (auto cb = complete_cb_.load()) cb(op);
}

void core::failed(std::int32_t op, const std::wstring& text, std::int32_t code) {
    log_.write("error " + std::to_string(code) + ": " + utf8(text));
    if (auto cb = error_cb_.load()) cb(op, text.c_str(), code);
}

std::vector<device> core::load_inventory(const config& c) {
    if (c.inventory == config::inventory_source::file) return read_profile(c.profile);
    return live_inventory();
}

std::unique_ptr<catalog> core::load_catalog(const config& c) {
    auto cat = std::make_unique<catalog>();
    cat->load(read_all(c.catalog), utf8(c.catalog));
    return cat;
}

// ---------------------------------------------------------------- scan

std::int32_t core::start_scan() {
    if (!initialised_) return HX_RESULT_ERROR_UNEXPECTED;
    int expected = none;
    if (!running_.compare_exchange_strong(expected, scanning)) return HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS;
    cancel_scan_ = false;
    config c;
    {
        std::lock_guard<std::mutex> guard(data_lock_);
        c = config_;
    }
    return launch([this, c] { run_scan(c); });
}

std::int32_t core::launch(std::function<void()> run) {
    try {
        std::thread(std::move(run)).detach();
    } catch (...) {
        running_ = none;
        return HX_RESULT_ERROR_UNEXPECTED;
    }
    return HX_RESULT_SUCCESS;
}

std::int32_t core::cancel_scan() {
    if (running_ == scanning) {
        log_.write("scan cancel requested");
        cancel_scan_ = true;
    }
    return HX_RESULT_SUCCESS;
}

void core::run_scan(config c) {
    const auto begin = std::chrono::steady_clock::now();
    log_.write("scan started");
    started(HX_OPERATION_SCAN, L"Scanning for outdated drivers");
    hx_scan_summary s{};
    std::vector<scan_entry> entries;
    // A failed scan leaves empty results marked as failed.
    const auto fail_scan = [&](const std::wstring& text, std::int32_t code) {
        s = hx_scan_summary{};
        s.failed = 1;
        store_results({}, s, c);
        failed(HX_OPERATION_SCAN, text, code);
        completed(HX_OPERATION_SCAN);
    };
    try {
        std::vector<device> devices;
        try {
            devices = load_inventory(c);
        } catch (const std::exception& e) {
            return fail_scan(L"Unable to read the device inventory: " + wide(e.what()), error_inventory);
        }
        std::unique_ptr<catalog> cat;
        try {
            cat = load_catalog(c);
        } catch (const std::exception& e) {
            return fail_scan(L"Unable to read the catalog: " + wide(e.what()), error_catalog);
        }
        s.packages_in_catalog = static_cast<std::int32_t>(cat->packages().size());
        const double n = static_cast<double>(devices.size());
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (cancel_scan_) {
                log_.write("scan cancelled after " + std::to_string(i) + " devices");
                break;
            }
            const device& d = devices[i];
            const double fraction = static_cast<double>(i + 1) / n;
            progress(fraction, d.description, state_examining, nullptr);
            ++s.devices_examined;
            if (d.driver.present) ++s.devices_with_driver;
            const best_match m = find_best(*cat, d);
            if (!m.pkg || !is_newer(*m.pkg, d.driver)) continue;
            scan_entry e{make_record(d, *m.pkg), d.instance_id, m.matched_id};
            log_.write("outdated: " + utf8(d.instance_id) + " -> package " + std::to_string(m.pkg->id) + " " +
                       m.pkg->version_text);
            progress(fraction, d.description, 2, &e.record);
            entries.push_back(std::move(e));
        }
    } catch (const std::exception& e) {
        return fail_scan(L"The scan failed: " + wide(e.what()), HX_RESULT_ERROR_UNEXPECTED);
    }
    s.result_count = static_cast<std::int32_t>(entries.size());
    s.duration_ms = static_cast<std::int32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin).count());
    store_results(std::move(entries), s, c);
    completed(HX_OPERATION_SCAN);
}

void core::store_results(std::vector<scan_entry> entries, const hx_scan_summary& s, const config& c) {
    std::lock_guard<std::mutex> guard(data_lock_);
    entries_ = std::move(entries);
    records_.clear();
    for (const scan_entry& e : entries_) records_.push_back(e.record);
    summary_ = s;
    have_results_ = true;
    try {
        write_results_file(c.cache + L"\\last-scan.dat", summary_, entries_);
    } catch (const std::exception& e) {
        log_.write(std::string("the scan results cannot be kept for the next start: ") + e.what());
    }
}

void core::load_stored_results(const config& c) {
    have_results_ = false;
    summary_ = hx_scan_summary{};
    entries_.clear();
    records_.clear();
    if (read_results_file(c.cache + L"\\last-scan.dat", summary_, entries_)) {
        have_results_ = true;
        for (const scan_entry& e : entries_) records_.push_back(e.record);
        log_.write("last scan results: " + std::to_string(entries_.size()) + " drivers");
    }
}

std::int32_t core::summary(hx_scan_summary* out) {
    if (!initialised_ || !out) return HX_RESULT_ERROR_UNEXPECTED;
    std::lock_guard<std::mutex> guard(data_lock_);
    *out = have_results_ ? summary_ : hx_scan_summary{};
    return HX_RESULT_SUCCESS;
}

std::int32_t core::results(const hx_engine_driver** out) {
    if (!initialised_ || !out) return HX_RESULT_ERROR_UNEXPECTED;
    std::lock_guard<std::mutex> guard(data_lock_);
    if (!have_results_) return HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE;
    *out = records_.empty() ? nullptr : records_.data();
    return HX_RESULT_SUCCESS;
}

// -------------------------------------------------------------- update

std::int32_t core::start_update(const std::int32_t* ids, std::int32_t count, const wchar_t* restore_point) {
    if (!initialised_) return HX_RESULT_ERROR_UNEXPECTED;
    if (!ids || count < 1) return HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED;
    int expected = none;
    if (!running_.compare_exchange_strong(expected, updating)) return HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS;
    config c;
    std::vector<scan_entry> entries;
    std::vector<std::int32_t> list(ids, ids + count);
    {
        std::lock_guard<std::mutex> guard(data_lock_);
        if (!have_results_) {
            running_ = none;
            return HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE;
        }
        for (std::int32_t id : list) {
            const bool known = std::any_of(entries_.begin(), entries_.end(),
                                           [id](const scan_entry& e) { return e.record.device_driver_id == id; });
            if (!known) {
                running_ = none;
                log_.write("hxStartDriversUpdate: unknown device driver id " + std::to_string(id));
                return HX_RESULT_ERROR_UNKNOWN_DEVICE_DRIVER_ID_SPECIFIED;
            }
        }
        c = config_;
        entries = entries_;
    }
    cancel_update_ = false;
    std::wstring description = restore_point ? restore_point : L"";
    return launch([this, c, list, description, entries]() mutable {
        run_update(std::move(c), std::move(list), std::move(description), std::move(entries));
    });
}

std::int32_t core::cancel_update() {
    // Only a flag: this is called from inside our own callbacks too.
    if (running_ == updating) {
        log_.write("update cancel requested");
        cancel_update_ = true;
    }
    return HX_RESULT_SUCCESS;
}

void core::run_update(config c, std::vector<std::int32_t> ids, std::wstring description,
                      std::vector<scan_entry> entries) {
    log_.write("update started: " + std::to_string(ids.size()) + " drivers");
    started(HX_OPERATION_UPDATE, L"Updating drivers");
    std::unique_ptr<catalog> cat;
    try {
        cat = load_catalog(c);
    } catch (const std::exception& e) {
        failed(HX_OPERATION_UPDATE, L"Unable to read the catalog: " + wide(e.what()), error_catalog);
        completed(HX_OPERATION_UPDATE);
        return;
    }
    progress(0.0, L"Creating Restore Point", 0, nullptr);
    restore_point point(c, log_);
    try {
        std::vector<device> live;
        if (c.restore == config::restore_mode::journal && c.inventory == config::inventory_source::live)
            live = live_inventory();
        point.begin(description, live);
    } catch (const std::exception& e) {
        failed(HX_OPERATION_UPDATE, L"Unable to create system restore point: " + wide(e.what()), error_restore_point);
        completed(HX_OPERATION_UPDATE);
        return;
    }
    bool changed = false;
    std::vector<std::int32_t> done;
    for (std::int32_t id : ids) {
        if (std::find(done.begin(), done.end(), id) != done.end()) continue;
        done.push_back(id);
        if (cancel_update_) {
            log_.write("update cancelled before package " + std::to_string(id));
            break;
        }
        std::vector<const scan_entry*> devices;
        for (const scan_entry& e : entries)
            if (e.record.device_driver_id == id) devices.push_back(&e);
        bool go_on = false;
        try {
            go_on = update_one(c, *cat, c.catalog, id, devices, changed);
        } catch (const std::exception& e) {
            failed(HX_OPERATION_UPDATE, L"Unable to update " + description_of(devices.front()->record) + L": " +
                                            wide(e.what()), HX_RESULT_ERROR_UNEXPECTED);
        }
        if (!go_on) break;
    }
    point.end(changed);
    completed(HX_OPERATION_UPDATE);
}

bool core::update_one(const config& c, const catalog& cat, const std::wstring& catalog_location, std::int32_t id,
                      const std::vector<const scan_entry*>& devices, bool& changed) {
    const hx_engine_driver& first = devices.front()->record;
    const std::wstring name = description_of(first);
    const std::wstring label = name + L" (package " + std::to_wstring(id) + L")";
    const auto fail = [&](std::int32_t state, const std::wstring& why) {
        progress(0.0, L"Failed: " + label, state, &first);
        failed(HX_OPERATION_UPDATE, L"Unable to update " + label + L": " + why, state);
        return false;
    };
    const package* p = cat.find(id);
    if (!p) return fail(error_download_failed, L"the package is no longer in the catalog");

    const std::wstring downloads = c.cache + L"\\Downloads";
    std::error_code ignored;
    std::filesystem::create_directories(downloads, ignored);
    const std::wstring file = downloads + L"\\" + std::to_wstring(id) + L".cab";
    const std::wstring source = resolve_location(catalog_location, wide(p->location));
    log_.write("downloading " + utf8(source) + " to " + utf8(file));
    progress(0.0, L"Downloading " + label, 3, &first);
    download_result got;
    try {
        got = download(source, file, [&](std::uint64_t received, std::uint64_t total) {
            if (cancel_update_) return false;
            const std::uint64_t whole = total ? total : p->size;
            progress(whole ? static_cast<double>(received) / static_cast<double>(whole) : 0.0,
                     L"Downloading " + label, 4, &first);
            return true;
        });
    } catch (const std::exception& e) {
        return fail(error_download_failed, L"the download failed: " + wide(e.what()));
    }
    if (got.cancelled) {
        log_.write("download of package " + std::to_string(id) + " cancelled; partial file deleted");
        return false;
    }
    progress(1.0, L"Checking " + label, 5, &first);
    const std::wstring unpacked = c.cache + L"\\Packages\\" + std::to_wstring(id);
    const auto discard = [&] {
        ::DeleteFileW(file.c_str());
        remove_tree(unpacked);
    };
    if (got.size != p->size) {
        discard();
        return fail(error_download_failed, L"the download has " + std::to_wstring(got.size) + L" bytes instead of " +
                                               std::to_wstring(p->size));
    }
    if (got.sha256 != lower(p->sha256)) {
        discard();
        return fail(error_download_failed, L"the download's SHA-256 does not match the catalog");
    }
    std::wstring inf;
    try {
        remove_tree(unpacked);
        inf = extract_package(file, unpacked);
        const version declared = inf_driver_version(inf);
        if (declared != p->ver) {
            discard();
            return fail(error_download_failed, L"the package's INF declares version " + version_text(declared) +
                                                   L" instead of " + wide(p->version_text));
        }
    } catch (const std::exception& e) {
        discard();
        return fail(error_download_failed, wide(e.what()));
    }
    progress(1.0, L"Verified " + label, 6, &first);
    if (cancel_update_) {
        discard();
        log_.write("update cancelled before installing package " + std::to_string(id));
        return false;
    }
    for (const scan_entry* e : devices) progress(0.0, L"Installing " + label, 7, &e->record);
    try {
        if (c.inventory == config::inventory_source::file) {
            std::vector<installed_change> changes;
            for (const scan_entry* e : devices)
                changes.push_back({e->instance_id, wide(p->provider), wide(p->version_text), p->date});
            record_installs(c.profile, changes);
        } else {
            std::vector<std::wstring> ids;
            for (const scan_entry* e : devices)
                if (std::find(ids.begin(), ids.end(), e->matched_id) == ids.end()) ids.push_back(e->matched_id);
            for (const std::wstring& hwid : ids) install_live(folder_, hwid, inf);
            std::vector<std::wstring> instances;
            for (const scan_entry* e : devices) instances.push_back(e->instance_id);
            verify_live_install(instances, p->ver);
        }
    } catch (const std::exception& e) {
        discard();
        return fail(error_install_failed, wide(e.what()));
    }
    changed = true;
    discard();
    log_.write("installed package " + std::to_string(id) + " " + p->version_text);
    for (const scan_entry* e : devices) progress(1.0, L"Installed " + label, 8, &e->record);
    return true;
}

}  // namespace hexcore
