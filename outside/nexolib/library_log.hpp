// The library's own log: Nexolib.log.txt in the folder Logs of the user's
// Orvena\Tarnwick data folder. Never throws.
#pragma once

#include <string>

namespace nexolib {

void log_line(int level, const std::wstring& text);
std::wstring log_file_path();

}  // namespace nexolib
