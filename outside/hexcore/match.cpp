#include "outside/hexcore/match.hpp"

#include <cstring>

#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

// Orders candidates: a lower rank wins, then a higher version, then a later
// date, then (for a stable choice) the lower package id.
bool better(int rank, const package& p, int best_rank, const package& best) {
    if (rank != best_rank) return rank < best_rank;
    if (p.ver != best.ver) return p.ver > best.ver;
    const int dates = compare_dates(p.date, best.date);
    if (dates != 0) return dates > 0;
    return p.id < best.id;
}

void copy_utf8(wchar_t* target, std::size_t capacity, const char* text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, target, static_cast<int>(capacity));
    if (n == 0) {  // too long: take what fits
        const std::wstring w = wide(text);
        const std::size_t k = w.size() < capacity - 1 ? w.size() : capacity - 1;
        std::wmemcpy(target, w.data(), k);
        target[k] = 0;
    }
}

template <std::size_t N>
void copy_utf8(wchar_t (&target)[N], const char* text) {
    copy_utf8(target, N, text);
}

}  // namespace

best_match find_best(const catalog& c, const device& d) {
    best_match best;
    int best_rank = 0;
    const auto consider = [&](const std::vector<std::wstring>& ids, int rank) {
        for (const std::wstring& id : ids) {
            const std::string key = utf8(id);
            c.for_each_serving(key, [&](const package& p) {
                if (!best.pkg || better(rank, p, best_rank, *best.pkg)) {
                    best.pkg = &p;
                    best.matched_id = id;
                    best_rank = rank;
                }
            });
        }
    };
    consider(d.hardware_ids, 0);
    consider(d.compatible_ids, 1);
    return best;
}

bool is_newer(const package& p, const installed_driver& installed) {
    if (!installed.present) return true;
    if (p.ver != installed.ver) return p.ver > installed.ver;
    return compare_dates(p.date, installed.date) > 0;
}

hx_engine_driver make_record(const device& d, const package& p) {
    hx_engine_driver r;
    std::memset(&r, 0, sizeof r);
    r.device_id = device_id_of(d.instance_id);
    r.device_driver_id = p.id;
    copy_text(r.device_description, d.description);
    copy_text(r.device_manufacturer, d.manufacturer);
    r.device_type = device_type_of(d.setup_class);
    copy_text(r.device_class, d.setup_class);
    copy_text(r.device_class_guid, d.class_guid);
    if (d.driver.present) {
        copy_text(r.installed_driver_provider, d.driver.provider);
        copy_text(r.installed_driver_version, d.driver.version_text);
        r.installed_driver_version_major = d.driver.ver.parts[0];
        r.installed_driver_version_minor = d.driver.ver.parts[1];
        r.installed_driver_version_release = d.driver.ver.parts[2];
        r.installed_driver_version_build = d.driver.ver.parts[3];
        r.installed_driver_release_date = d.driver.date;
    }
    copy_utf8(r.available_driver_provider, p.provider);
    copy_utf8(r.available_driver_version, p.version_text);
    r.available_driver_version_major = p.ver.parts[0];
    r.available_driver_version_minor = p.ver.parts[1];
    r.available_driver_version_release = p.ver.parts[2];
    r.available_driver_version_build = p.ver.parts[3];
    r.available_driver_release_date = p.date;
    copy_utf8(r.available_driver_inf_description, p.description);
    return r;
}

std::vector<outdated_device> find_outdated(const catalog& c, const std::vector<device>& devices) {
    std::vector<outdated_device> out;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        best_match m = find_best(c, devices[i]);
        if (m.pkg && is_newer(*m.pkg, devices[i].driver)) out.push_back(outdated_device{i, std::move(m)});
    }
    return out;
}

}  // namespace hexcore
