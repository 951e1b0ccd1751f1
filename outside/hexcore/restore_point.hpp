// The restore point made before the first change of an update: a system
// restore point (SRSetRestorePointW, device driver install), or a journal
// copy of the state the run is about to change.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "outside/hexcore/config.hpp"
#include "outside/hexcore/device.hpp"
#include "outside/hexcore/engine_log.hpp"

namespace hexcore {

class restore_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class restore_point {
public:
    restore_point(const config& c, engine_log& log) : config_(c), log_(log) {}
    // devices: the live inventory to journal (the file inventory journals
    // its profile). Throws restore_error.
    void begin(const std::wstring& description, const std::vector<device>& devices);
    // Closes a system restore point; cancels it when nothing was changed.
    void end(bool changed);

private:
    void begin_system(const std::wstring& description);
    void begin_journal(const std::wstring& description, const std::vector<device>& devices);

    const config& config_;
    engine_log& log_;
    bool open_system_ = false;
    long long sequence_ = 0;
    std::wstring description_;
};

}  // namespace hexcore
