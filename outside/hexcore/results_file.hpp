// The last scan's results, kept in the cache folder so that the next start
// of the program sees them and an update can run without a new scan.
#pragma once

#include <string>
#include <vector>

#include "outside/hexcore/core.hpp"

namespace hexcore {

// Writes through a temporary file. Throws std::runtime_error.
void write_results_file(const std::wstring& path, const hx_scan_summary& summary,
                        const std::vector<scan_entry>& entries);
// False when there is no usable file.
bool read_results_file(const std::wstring& path, hx_scan_summary& summary, std::vector<scan_entry>& entries);

}  // namespace hexcore
