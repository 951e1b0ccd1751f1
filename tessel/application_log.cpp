#include <filesystem>

#include "tessel/config.hpp"
#include "tessel/format.hpp"
#include "tessel/log.hpp"

namespace tessel {

void release_process_log();  // log.cpp

application_log::application_log(const std::wstring& name, bool use_common_folder) {
    const std::wstring folder =
        (use_common_folder ? config::common_product_folder() : config::user_product_folder()) + L"Logs";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);

    auto file = std::make_unique<log::file>(folder + L"\\" + name);
    file_path_ = file->path();
    add_listener(std::move(file));

    auto prefix = format("[%d] ", static_cast<int>(::GetCurrentProcessId()));
    scope guard(global_lock());
    instance().add_listener(std::make_unique<log::proxy>(*this, prefix));
}

application_log::~application_log() {
    try {
        release_process_log();
        clear();
    } catch (...) {
    }
}

}  // namespace tessel
