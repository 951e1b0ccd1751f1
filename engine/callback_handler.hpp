// Receivers of the engine's events. Every operation does nothing by
// default, so a receiver overrides only what it needs. Called on the
// engine's threads: implementations copy their arguments and return.
#pragma once

#include <cstdint>
#include <string>

#include "engine/driver.hpp"

namespace hx {

class callback_handler {
public:
    virtual ~callback_handler() = default;

    virtual void scan_started(const std::wstring& /*text*/) {}
    virtual void scan_progress(const double& /*progress*/, const std::wstring& /*text*/,
                               const std::int32_t& /*elapsed*/, const std::int32_t& /*found*/) {}
    virtual void scan_error(const engine_state& /*code*/, const std::wstring& /*text*/) {}
    virtual void scan_completed() {}
    virtual void scan_cancelled() {}
    virtual void update_started(const std::wstring& /*text*/) {}
    virtual void update_progress(const double& /*fraction*/, const std::wstring& /*text*/,
                                 const engine_state& /*state*/, const std::int32_t& /*elapsed*/,
                                 const driver& /*d*/) {}
    virtual void update_error(const engine_state& /*code*/, const std::wstring& /*text*/) {}
    virtual void update_completed() {}
    virtual void update_cancelled() {}
};

}  // namespace hx
