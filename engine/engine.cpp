#include "engine/engine.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/check_result.hpp"
#include "engine/engine_api.hpp"
#include "engine/session.hpp"
#include "tessel/config.hpp"
#include "tessel/exception.hpp"
#include "tessel/format.hpp"
#include "tessel/log.hpp"
#include "tessel/system_message.hpp"

namespace hx {

engine::engine(callback_handler& handler) : registration_(std::make_unique<registration>(registration{&handler})) {
    session().handlers.push_back(&handler);
    const std::wstring base = engine_log_base();
    const engine_api& e = api();
    check_result(e.hxEngineInit(application_id, base.c_str()), L"hxEngineInit");
    e.hxSetOperationStartCallback(&on_started);
    e.hxSetOperationProgressCallback(&on_progress);
    e.hxSetOperationCompleteCallback(&on_complete);
    e.hxSetOperationErrorCallback(&on_error);
}

engine::~engine() {
    auto& handlers = session().handlers;
    auto it = std::find(handlers.begin(), handlers.end(), registration_->handler);
    if (it != handlers.end()) handlers.erase(it);
}

std::wstring engine_log_base(const std::wstring& logs_folder) {
    std::wstring folder = logs_folder;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw tessel::exception_w(L"Unable to create the folder %s", folder.c_str());
    for (unsigned n = 0;; ++n) {
        const std::wstring base = tessel::format(L"%s\\HX.%04d", folder.c_str(), n);
        const std::wstring log_file = base + L".log";
        if (::GetFileAttributesW(log_file.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        const DWORD e = ::GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return base;
        throw tessel::exception_w(L"Unable to test whether %s exists: %s", log_file.c_str(),
                                  tessel::system_message(e).c_str());
    }
}

std::wstring engine_log_base() { return engine_log_base(tessel::config::user_product_folder() + L"Logs"); }

void start_scan() {
    log_info("hxStartScan");
    session().reset();
    check_result(api().hxStartScan(), L"hxStartScan");
}

void cancel_scan() {
    log_info("hxCancelScan");
    session().scan_cancel_requested = true;
    check_result(api().hxCancelScan(), L"hxCancelScan");
}

void update_drivers(const std::vector<driver>& drivers) {
    if (drivers.empty()) return;
    std::vector<std::int32_t> ids;
    ids.reserve(drivers.size());
    for (const driver& d : drivers) ids.push_back(d.device_driver_id);
    impl::update(ids);
}

void impl::update(const std::vector<std::int32_t>& ids) {
    log_info("hxStartDriversUpdate");
    if (ids.empty()) return;
    std::wstring text;
    for (std::int32_t id : ids) text += std::to_wstring(id) + L' ';
    log_info(L"hx::impl::update::ids: %s", text.c_str());
    check_result(api().hxStartDriversUpdate(ids.data(), static_cast<std::int32_t>(ids.size()),
                                            restore_point_description),
                 L"_hxStartDriversUpdate");
}

void cancel_update() {
    log_info("hxCancelDriversUpdate");
    session().update_cancel_requested = true;
    check_result(api().hxCancelDriversUpdate(), L"_hxCancelDriversUpdate");
}

}  // namespace hx
