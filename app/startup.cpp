#include "app/startup.hpp"

#include "tessel/config.hpp"
#include "tessel/dump_writer.hpp"
#include "tessel/system_message.hpp"
#include "tessel/unicode.hpp"

namespace app {

std::unique_ptr<tessel::application_log> start_services(HINSTANCE instance) {
    tessel::config::load_names(instance);
    return std::make_unique<tessel::application_log>(L"UI", false);
}

bool prepare_crash_dumps() {
    const std::wstring folder = tessel::config::user_product_folder() + L"Dumps";
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES && !::CreateDirectoryW(folder.c_str(), nullptr)) {
        const DWORD error = ::GetLastError();
        log_error(L"Can't create dumps folder %s.", folder.c_str());
        log_error(L"Error: %d %s", static_cast<int>(error), tessel::system_message(error).c_str());
        return false;
    }
    log_info(L"Dumps path: %s", folder.c_str());
    return tessel::install_dump_writer(tessel::unicode::to_narrow(folder + L"\\UI", CP_ACP, false));
}

}  // namespace app
