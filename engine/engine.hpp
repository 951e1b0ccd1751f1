// The program's side of the conversation with the driver engine: one
// adapter object per receiver, and the calls that start and cancel scans
// and updates. All of these run on the window thread and throw
// tessel::exception_w when the engine refuses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/callback_handler.hpp"
#include "engine/driver.hpp"

namespace hx {

// The fixed application identifier handed to the engine.
inline constexpr const wchar_t* application_id = L"6F1C2B7E-93A4-4D58-B0E2-5A7C9D31E846";
// The restore point description of every update.
inline constexpr const wchar_t* restore_point_description = L"Kelvane: Updating Drivers";

class engine {
public:
    // Registers the handler, then initialises the engine and registers its
    // callbacks; the handler stays registered when that fails.
    explicit engine(callback_handler& handler);
    virtual ~engine();
    engine(const engine&) = delete;
    engine& operator=(const engine&) = delete;

private:
    struct registration {
        callback_handler* handler;
    };
    std::unique_ptr<registration> registration_;
};

// The first "<folder>\HX.nnnn" whose ".log" file does not exist; the
// folder is made when missing.
std::wstring engine_log_base(const std::wstring& logs_folder);
// The same in "Logs" of the per-user product folder.
std::wstring engine_log_base();

void start_scan();
void cancel_scan();
void update_drivers(const std::vector<driver>& drivers);
void cancel_update();

namespace impl {
void update(const std::vector<std::int32_t>& ids);
}

}  // namespace hx
