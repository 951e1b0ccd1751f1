// The program's start-up services: names and folders, the "UI" log and the
// crash-dump writer, brought up in this order before anything else runs.
#pragma once

#include <windows.h>

#include <memory>

#include "tessel/log.hpp"

namespace app {

// Loads the names, runs config::init, opens the "UI" log. The log lives as
// long as the returned object.
std::unique_ptr<tessel::application_log> start_services(HINSTANCE instance);

// Creates the per-user "Dumps" folder if needed and installs the dump writer.
// A folder that cannot be created is logged and leaves dumps off.
bool prepare_crash_dumps();

}  // namespace app
